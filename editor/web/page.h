#pragma once
// The page file of one generation and the frame around the question blocks: the end of the
// head's script, the start and header blocks, and the closing block.
#include <QByteArray>
#include <QString>

namespace korvel::web {

class PictureFolder;

// Gathers the page's encoded lines, each ended by CR LF, after the head: the page is put on
// disk whole once its last line is there, so no failure leaves a cut page.
class PageWriter {
public:
    explicit PageWriter(QByteArray head = {}) : page_(std::move(head)) {}

    void WritePageLine(const QString& line);
    // <div id="block_ID" style="display: DISPLAY;"> <Table> <TR> <TD>, where display is
    // " block" or " none" with its blank.
    void WriteBlockStart(const QString& id, const QString& display);

    const QByteArray& bytes() const { return page_; }

    QString buffer;  // the line that a question block is building
    // The run's picture files as found when it started; null: each is looked up alone.
    const PictureFolder* pictures = nullptr;

private:
    QByteArray page_;
};

// Lines 1 to 18: the draw of the questions, the form, the start and header blocks.
// n is the number of questions, testFileName the table's name as the editor opened it.
void WriteFrameStart(PageWriter& page, int n, const QString& webTestName,
                     const QString& testFileName);
// Lines 19 to 25: the closing block after the n question blocks, and the document's end.
void WriteFrameEnd(PageWriter& page, int n);

}  // namespace korvel::web
