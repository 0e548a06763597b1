#pragma once
// Character formats of the rich-edit control beyond what QTextCharFormat holds itself, and
// the edits the editor's font and offset buttons make on a selection.
#include "platform/ui.h"

#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;

namespace plat::rtf {

// The character properties RTF carries: the reader's state while it reads, the writer's
// record of what it has written.
struct CharState {
    int font = -1;  // index in the font table; -1: the document's default font (\deff)
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;        // index in the colour table; 0: the automatic colour
    int offsetTwips = 0;  // \up positive, \dn negative
    int vAlign = 0;       // 0 normal, 1 \super, 2 \sub
    bool operator==(const CharState&) const = default;
};

// The vertical offset from the baseline in twips as requested (positive upwards); the
// shown offset (QTextCharFormat::baselineOffset, percent of the font size) follows from it.
inline constexpr int OffsetTwipsProperty = QTextFormat::UserProperty + 0x5201;
// The font's character set (\fcharsetN).
inline constexpr int CharsetProperty = QTextFormat::UserProperty + 0x5202;

// The point size the characters are shown in: their own, else the document's default font,
// else 12.
qreal effectivePointSize(const QTextCharFormat& f, const QTextDocument* doc);

int offsetTwips(const QTextCharFormat& f);
// Sets the offset and the baseline shift for a font of pointSize; 0 clears both.
void setOffsetTwips(QTextCharFormat& f, int twips, qreal pointSize);

// The offset request: every character of the cursor's selection gets the offset, absolute,
// not added to the one it had. Without a selection it sets the typing format.
void setSelectionOffset(QTextCursor& cursor, int twips);

// A font dialog's result on the selection (or the typing format): colour, family, character
// set, style, size and pitch, in that order. Raised or lowered characters keep their offset
// in twips at the new size.
void applyFont(QTextCursor& cursor, const FontChoice& font);

// The font a character format shows.
FontChoice fontOf(const QTextCharFormat& f, const QTextDocument* doc);

}  // namespace plat::rtf
