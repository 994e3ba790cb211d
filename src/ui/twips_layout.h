#pragma once

#include <array>
#include <string_view>

#include <QRect>

class QWidget;

namespace skelvane::ui {

/// A place in the window in twips (1/1440 inch), measured from the client area's top-left corner.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

/// The window's stored layout, in twips, one constant per control under the control's own name.
namespace layout {

inline constexpr TwipsRect Form1{0, 0, 7290, 5295};
inline constexpr TwipsRect List3{105, 105, 180, 4440};
inline constexpr TwipsRect List1{345, 105, 1695, 4440};
inline constexpr TwipsRect Image1{2205, 105, 2925, 4530};
inline constexpr TwipsRect List2{5250, 105, 1920, 4440};
inline constexpr TwipsRect Text1{5250, 2940, 2010, 255};
inline constexpr TwipsRect Command1{105, 4620, 1905, 225};
inline constexpr TwipsRect green{2310, 4680, 120, 120};
inline constexpr TwipsRect Label2{2475, 4635, 540, 195};
inline constexpr TwipsRect red{3330, 4680, 120, 120};
inline constexpr TwipsRect Label3{3510, 4635, 810, 195};
inline constexpr TwipsRect Command2{5250, 4620, 1905, 225};
inline constexpr TwipsRect pbar{90, 5130, 7080, 105};
inline constexpr TwipsRect Label1{2205, 4860, 2925, 195};

/// Width and height of every part image.
inline constexpr int kPartImageSize = 120;

/// Rows of equal height assumed in the height of List2 when the editor is placed over one.
inline constexpr int kEditorRowsInList2 = 23;

/// A part image: its name, its tooltip and its top-left corner.
struct PartImagePlace {
    std::string_view name;
    std::string_view toolTip;
    int left;
    int top;
};

/// The 23 part images in part-number order (element i shows part i + 1).
inline constexpr std::array<PartImagePlace, 23> kPartImages{{
    {"Head", "Head", 3675, 210},
    {"Neck", "Neck", 3675, 840},
    {"Chest", "Chest", 3675, 1260},
    {"Abdomen", "Abdomen", 3675, 1680},
    {"Hip", "Hip", 3570, 2100},
    {"rCollar", "Right Collar", 3150, 1050},
    {"rShoulder", "Right Shoulder", 2940, 1470},
    {"rForeArm", "Right ForeArm", 2625, 1785},
    {"rHand", "Right Hand", 2415, 2100},
    {"Fingers", "Fingers", 2310, 2415},
    {"lCollar", "Left Collar", 4095, 1050},
    {"lShoulder", "Left Shoulder", 4305, 1470},
    {"lForeArm", "Left ForeArm", 4620, 1785},
    {"lHand", "Left Hand", 4725, 2100},
    {"rButtock", "Right Buttock", 3255, 2100},
    {"rThiqh", "Right Thigh", 3360, 2730},
    {"rShin", "Right Shin", 3255, 3675},
    {"rFoot", "Right Foot", 3150, 4305},
    {"Toes", "Toes", 4305, 4410},
    {"lButtock", "Left Buttock", 3885, 2100},
    {"lThiqh", "Left Thigh", 3885, 2730},
    {"lShin", "Left Shin", 3990, 3675},
    {"lFoot", "Left Foot", 4095, 4305},
}};

/// The window's controls from front to back; the open-file dialog never draws inside the
/// window and so has no place here.
inline constexpr std::array<std::string_view, 36> kStackingFrontToBack{
    "pbar",      "List3",     "Text1",   "Command2", "Command1", "List2", "List1",    "Label3",
    "Label2",    "green",     "red",     "Fingers",  "lHand",    "rHand", "lForeArm", "rForeArm",
    "lShoulder", "rShoulder", "lCollar", "rCollar",  "Toes",     "lFoot", "rFoot",    "lShin",
    "rShin",     "rThiqh",    "lThiqh",  "rButtock", "lButtock", "Hip",   "Abdomen",  "Chest",
    "Neck",      "Head",      "Label1",  "Image1"};

/// The controls that take the keyboard focus, in tab order; the labels and the progress bar
/// sit between them in the tab indexes but never take the focus.
inline constexpr std::array<std::string_view, 6> kTabOrder{"List1",    "List2", "Command1",
                                                           "Command2", "Text1", "List3"};

}  // namespace layout

/// Converts the layout's twips to screen pixels at a fixed number of twips per pixel.
class TwipsScale {
public:
    /// A scale of the given twips per pixel (15 at 96 dots per inch).
    explicit TwipsScale(double twipsPerPixel) : twipsPerPixel_(twipsPerPixel) {}

    /// The vertical scale of the screen the widget is on: 1440 / its logical dots per inch.
    static TwipsScale vertical(const QWidget& widget);

    /// Twips per pixel of this scale.
    double twipsPerPixel() const { return twipsPerPixel_; }
    /// A length or coordinate in twips, rounded to whole pixels.
    int toPixels(double twips) const;
    /// A rectangle in twips, each edge converted on its own.
    QRect toPixels(const TwipsRect& rect) const;

private:
    double twipsPerPixel_;
};

}  // namespace skelvane::ui
