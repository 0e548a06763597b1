#pragma once
// A client window over test tables written through the engine, driven by scripted boxes.
#include "client/TForm1.h"
#include "client/state.h"
#include "common/fixed.h"
#include "common/question.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "tests/harness/harness.h"

#include <QImage>
#include <array>
#include <memory>
#include <optional>

namespace client_test {

inline QString text(const char* s) { return QString::fromUtf8(s); }
inline bool shown(QWidget* w) { return !w->isHidden(); }

// One question record; unset strings stay null.
struct Q {
    QString VoprStyle = "1";
    QString TypeVopr = "1";
    QString MaxOtv = "4";
    QString Vopr;
    std::array<QString, 7> Otv{};
    std::array<std::optional<bool>, 7> RO{};
    QByteArray VoprRTF;
    QByteArray VoprBMP;
};

// BMP file bytes of a small picture of one colour.
QByteArray bmpBytes(int w, int h, QColor c);
QByteArray rtfBytes(const QString& plain);

class ClientTest : public testing_support::SessionTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the test table name (with ".DB") in folder (created) and returns its path.
    QString writeTest(const QString& folder, const QString& name, const QList<Q>& questions);
    // A window whose single-copy guard always passes and whose end is recorded.
    pandrel::TForm1& makeForm();
    // Chooses path in the dialog of FormActivate.
    void openTest(const QString& path);

    pandrel::ClientState state;
    std::unique_ptr<pandrel::TForm1> form;
    int ends = 0;
};

}  // namespace client_test
