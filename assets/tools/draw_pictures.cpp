// Draws the pictures of the main window and the application icon, and writes them as PNG files:
//
//   body.png          193 x 300  the body diagram: a lit figure of a standing man on orange
//   green.png           8 x 8    the green part marker
//   red.png             8 x 8    the red part marker
//   icon.png           32 x 32   the window icon
//   icons/SIZE.png              the same icon for the desktop's icon theme, SIZE 48, 64, 128, 256
//
// Usage: draw_pictures OUTPUT_FOLDER [--preview FILE]
//
// The PNG files under assets/ are committed: the build embeds the window's pictures and never
// draws them, and the theme icons are there to be installed. This program is built with the
// window all the same, and a test runs it and checks that it gives every committed file back
// byte for byte, so run it on assets/ after any change to the drawing and commit the result:
//
//   QT_QPA_PLATFORM=offscreen draw_pictures assets
//
// Besides drawing, it checks that every part marker of the window lands where it should (on the
// figure, or beside it for Fingers and Toes), prints that check as a table and exits with 1 if a
// marker is misplaced. --preview also writes the body picture with a marker at every part, for
// checking the placement by eye.

#include "assets/tools/body_picture.h"
#include "assets/tools/figure.h"
#include "assets/tools/icon.h"
#include "assets/tools/marker_check.h"
#include "assets/tools/marker_dots.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <string>
#include <vector>

namespace skelvane::assets::tools {
namespace {

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "draw_pictures: cannot write %s\n", qPrintable(path));
    return false;
}

bool makeFolder(const QString& path) {
    if (QDir(path).exists() || QDir().mkpath(path)) return true;
    std::fprintf(stderr, "draw_pictures: cannot create %s\n", qPrintable(path));
    return false;
}

bool saveIcons(const QDir& folder) {
    if (!save(drawIcon(kWindowIconSize), folder.filePath("icon.png"))) return false;
    const QString themeFolder = folder.filePath("icons");
    if (!makeFolder(themeFolder)) return false;
    for (const int size : kThemeIconSizes) {
        if (!save(drawIcon(size), QDir(themeFolder).filePath(QString("%1.png").arg(size))))
            return false;
    }
    return true;
}

bool reportMarkers(const std::vector<MarkerCheck>& checks) {
    std::printf("%-10s %4s %4s  %-10s  %-15s %9s\n", "part", "x", "y", "wanted", "pixel (r,g,b)",
                "clearance");
    bool allOk = true;
    for (const MarkerCheck& check : checks) {
        const QColor& c = check.pixel;
        const QString pixel = QString("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
        std::printf("%-10s %4d %4d  %-10s  %-15s %9.1f  %s\n",
                    std::string(check.spot.partName).c_str(), check.spot.centre.x(),
                    check.spot.centre.y(), check.spot.onFigure ? "figure" : "background",
                    qPrintable(pixel), check.clearance, check.ok ? "ok" : "WRONG");
        allOk = allOk && check.ok;
    }
    return allOk;
}

int run(const QStringList& args) {
    const bool withPreview = args.size() == 4 && args[2] == "--preview";
    if (args.size() != 2 && !withPreview) {
        std::fprintf(stderr, "usage: draw_pictures OUTPUT_FOLDER [--preview FILE]\n");
        return 2;
    }
    const QDir folder(args[1]);
    if (!makeFolder(folder.path())) return 1;

    const BodyPicture body = drawBody(standingMan());
    const QImage green = drawGreenDot();
    const QImage red = drawRedDot();
    const bool saved = save(body.picture, folder.filePath("body.png")) &&
                       save(green, folder.filePath("green.png")) &&
                       save(red, folder.filePath("red.png")) && saveIcons(folder);
    if (!saved) return 1;
    if (withPreview && !save(drawPreview(body.picture, green, red), args[3])) return 1;

    if (!reportMarkers(checkMarkers(body))) {
        std::fprintf(stderr, "draw_pictures: some part markers miss their place on the figure\n");
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace skelvane::assets::tools

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    return skelvane::assets::tools::run(QGuiApplication::arguments());
}
