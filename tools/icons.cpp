// Draws the program's icon as PNG pictures for an icon theme, from the same
// description the program draws its window icon from:
//   icons OUTDIR NAME SIDE...
// writes OUTDIR/SIDExSIDE/apps/NAME.png for each side in pixels.

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

#include "platform/win_icon.h"
#include "resources/resource.h"

// ---- functions ------------------------------------------------------------

// One picture per size named on the command line.
int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: icons OUTDIR NAME SIDE...\n");
    return 2;
  }
  const platform::IconPicture* picture = platform::FindIconPicture(IDI_MAINICON);
  if (picture == nullptr) {
    std::fprintf(stderr, "icons: the program has no icon\n");
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    int side = std::atoi(argv[i]);
    if (side < 1 || side > 1024) {
      std::fprintf(stderr, "icons: %s is no icon size\n", argv[i]);
      return 2;
    }
    QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(side);
    QString path = QStringLiteral("%1/%2.png").arg(dir, QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(dir) || !platform::DrawIconPicture(*picture, side).save(path, "PNG")) {
      std::fprintf(stderr, "icons: cannot write %s\n", path.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
