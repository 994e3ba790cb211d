#pragma once

#include <array>
#include <string_view>

#include <QRect>

#include "common/body_parts.h"

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

/// The top-left corner of a part image, and whether it stands beside the figure rather than
/// on it.
struct PartPlace {
    int left;
    int top;
    bool besideFigure = false;
};

/// Where each part's image lies, by part number - 1: Head Neck Chest Abdomen Hip rCollar rShoulder rForeArm rHand Fingers lCollar lShoulder lForeArm lHand rButtock rThiqh rShin rFoot Toes lButtock lThiqh lShin lFoot.
inline constexpr std::array<PartPlace, common::kPartCount> kPartImagePlaces{{
    {3675, 210},
    {3675, 840},
    {3675, 1260},
    {3675, 1680},
    {3570, 2100},
    {3150, 1050},
    {2940, 1470},
    {2625, 1785},
    {2415, 2100},
    {2310, 2415, true},
    {4095, 1050},
    {4305, 1470},
    {4620, 1785},
    {4725, 2100},
    {3255, 2100},
    {3360, 2730},
    {3255, 3675},
    {3150, 4305},
    {4305, 4410, true},
    {3885, 2100},
    {3885, 2730},
    {3990, 3675},
    {4095, 4305}}};

/// Rows of equal height assumed in the height of List2 when the editor is placed over one.
inline constexpr int kEditorRowsInList2 = 23;

/// The controls in front of the part images, front to back. The open-file dialog never draws
/// inside the window and so has no place here.
inline constexpr std::array<std::string_view, 11> kStackedBeforeParts{
    "pbar",  "List3",  "Text1",  "Command2", "Command1", "List2",
    "List1", "Label3", "Label2", "green",    "red"};
/// The part images front to back, by part number. No two overlap, so their order among
/// themselves shows nowhere; all lie in front of the figure.
inline constexpr std::array<int, common::kPartCount> kPartImagesFrontToBack{
    10, 14, 9, 13, 8, 12, 7, 11, 6, 19, 23, 18, 22, 17, 16, 21, 15, 20, 5, 4, 3, 2, 1};
/// The controls behind the part images, front to back.
inline constexpr std::array<std::string_view, 2> kStackedBehindParts{"Label1", "Image1"};

static_assert(
    [] {
        std::array<bool, common::kPartCount + 1> seen{};
        for (int part : kPartImagesFrontToBack) {
            if (part < 1 || part > common::kPartCount || seen[part]) return false;
            seen[part] = true;
        }
        return true;
    }(),
    "every part image is stacked exactly once");

static_assert(
    [] {
        constexpr int size = kPartImageSize;
        for (const PartPlace& m : kPartImagePlaces) {
            if (m.left < Image1.left || m.top < Image1.top ||
                m.left + size > Image1.left + Image1.width ||
                m.top + size > Image1.top + Image1.height) {
                return false;
            }
            for (const PartPlace& o : kPartImagePlaces) {
                if (&o != &m && m.left < o.left + size && o.left < m.left + size &&
                    m.top < o.top + size && o.top < m.top + size) {
                    return false;
                }
            }
        }
        return true;
    }(),
    "part images lie on the figure's picture and never on each other");

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
