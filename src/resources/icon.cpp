// The program's icon (resource 101): a well with a few blocks in it, drawn
// as a 32 x 32 picture in XPM form.

#include "platform/win_resources.h"
#include "resources/resource.h"

// ---- globals --------------------------------------------------------------

namespace {
const char* const gc_IconPicture[] = {
    "32 32 11 1",
    ". c None",
    "B c #7090ff",
    "G c #70f080",
    "O c #ffc070",
    "R c #ff7070",
    "b c #2050e0",
    "g c #20b030",
    "k c #202020",
    "o c #f08010",
    "r c #d02020",
    "w c #9a9a9a",
    "................................",
    "................................",
    "................................",
    "................................",
    "...w........................w...",
    "...w......OOOOOkOOOOOk......w...",
    "...w......OooookOooook......w...",
    "...w......OooookOooook......w...",
    "...w......OooookOooook......w...",
    "...w......OooookOooook......w...",
    "...w......kkkkkkkkkkkk......w...",
    "...w............RRRRRkGGGGGkw...",
    "...w............RrrrrkGggggkw...",
    "...w............RrrrrkGggggkw...",
    "...w............RrrrrkGggggkw...",
    "...w............RrrrrkGggggkw...",
    "...w............kkkkkkkkkkkkw...",
    "...wBBBBBk......RRRRRkGGGGGkw...",
    "...wBbbbbk......RrrrrkGggggkw...",
    "...wBbbbbk......RrrrrkGggggkw...",
    "...wBbbbbk......RrrrrkGggggkw...",
    "...wBbbbbk......RrrrrkGggggkw...",
    "...wkkkkkk......kkkkkkkkkkkkw...",
    "...wBBBBBkBBBBBkRRRRRkGGGGGkw...",
    "...wBbbbbkBbbbbkRrrrrkGggggkw...",
    "...wBbbbbkBbbbbkRrrrrkGggggkw...",
    "...wBbbbbkBbbbbkRrrrrkGggggkw...",
    "...wBbbbbkBbbbbkRrrrrkGggggkw...",
    "...wkkkkkkkkkkkkkkkkkkkkkkkkw...",
    "...wwwwwwwwwwwwwwwwwwwwwwwwww...",
    "................................",
    "................................",
};
}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// The one icon.
const char* const* FindIconPicture(UINT id) { return id == IDI_MAINICON ? gc_IconPicture : nullptr; }

}  // namespace platform
