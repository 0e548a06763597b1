#include "tests/client/client_fixture.h"

#include "platform/codec.h"

#include <QDir>

namespace client_test {

QByteArray bmpBytes(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return testing_support::encoded(img, "BMP");
}

QByteArray rtfBytes(const QString& plain) {
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs32 ";
    for (const char ch : plat::toCp1251(plain)) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else
            out += "\\'" + QByteArray::number(b, 16);
    }
    return out + "}";
}

void ClientTest::SetUp() {
    SessionTest::SetUp();
    pandrel::ClientUnitInit(state);
}

void ClientTest::TearDown() {
    form.reset();
    SessionTest::TearDown();
}

QString ClientTest::writeTest(const QString& folder, const QString& name,
                              const QList<Q>& questions) {
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name + ".DB");
    plat::db::createTableFile(path, common::kMasterPassword, common::questionFields());
    plat::db::Session s;
    s.addPassword(common::kMasterPassword);
    plat::db::Table t(s);
    t.setTableName(path);
    t.setFieldDefs(common::questionFields());
    t.open();
    for (const Q& q : questions) {
        t.insert();
        auto set = [&](const QString& f, const QString& v) {
            if (!v.isNull()) t.fieldByName(f).setAsString(v);
        };
        set(common::field::VoprStyle, q.VoprStyle);
        set(common::field::TypeVopr, q.TypeVopr);
        set(common::field::MaxOtv, q.MaxOtv);
        set(common::field::Vopr, q.Vopr);
        for (int k = 1; k <= 7; ++k) {
            set(common::field::Otv(k), q.Otv[k - 1]);
            if (q.RO[k - 1]) t.fieldByName(common::field::RO(k)).setAsBool(*q.RO[k - 1]);
        }
        if (!q.VoprRTF.isEmpty()) t.fieldByName(common::field::VoprRTF).setAsBytes(q.VoprRTF);
        if (!q.VoprBMP.isEmpty()) t.fieldByName(common::field::VoprBMP).setAsBytes(q.VoprBMP);
        t.post();
    }
    t.close();
    return path;
}

pandrel::TForm1& ClientTest::makeForm() {
    form =
        std::make_unique<pandrel::TForm1>(services(), state, [](const QString&) { return true; });
    form->endProcess = [this] { ++ends; };
    return *form;
}

void ClientTest::openTest(const QString& path) {
    ui.expectOpen(path);
    form->FormActivate();
}

}  // namespace client_test
