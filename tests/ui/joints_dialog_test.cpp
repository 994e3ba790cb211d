#include <gtest/gtest.h>

#include <filesystem>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "support/test_files.h"
#include "ui/joints_dialog.h"
#include "ui/list_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace t = skelvane::testing;

// A label as the user reads it: empty while hidden, without the invisible breaks.
QString shownText(const JointsDialog& dialog, const char* name) {
    const auto* label = dialog.findChild<QLabel*>(name);
    return label->isHidden() ? QString() : label->text().remove(QChar(0x200B));
}

TEST(JointsDialog, ShowJointsReportsTheRowsSourceUnderItsPartFlagsOrWhyItCannot) {
    Window window;
    const auto walk = QString::fromStdString(t::testdataDir() / "linden_avatar_walk_crlf.bvh");
    const QString picture = window.source("picture.bvh");
    t::writeFile(picture.toStdString(), "\x89PNG\r\n\x1a\n");
    const QString gone = window.source("gone.bvh");
    const QString broken = window.source("broken.bvh");
    std::string bvh = t::readFile(walk.toStdString());
    bvh.replace(bvh.find("Frames:     14"), 14, "Frames: 15");
    t::writeFile(broken.toStdString(), bvh);
    for (const QString& path : {walk, picture, gone, broken}) addSource(window, path);
    std::filesystem::remove(gone.toStdString());
    auto& List1 = window.control<ListBox>("List1");
    clickRow(List1, 0);
    clickCentre(window.control("Head"));
    for (int row = 0; row < 4; ++row) choose(openRowMenu(List1, row), "Show joints...");
    ASSERT_EQ(window.dialogs->joints.size(), 4U);
    const auto notice = [&](int row) {
        return shownText(JointsDialog(window.dialogs->joints.at(row)), "jointNotice");
    };
    EXPECT_EQ(notice(1),
              "Not a BVH file: it does not start with HIERARCHY. Convert still renames whatever "
              "matches in it.");
    EXPECT_EQ(notice(2), "Cannot read " + gone + ":\nNo such file or directory");
    // What the structure check found, in the same words as the command line's.
    const JointsDialog faulty(window.dialogs->joints.at(3));
    EXPECT_EQ(shownText(faulty, "jointCheck"), "Structure checked: 1 error, 0 warnings.");
    const auto& findings = *faulty.findChild<QListWidget*>("jointFindings");
    ASSERT_EQ(findings.count(), 1);
    EXPECT_EQ(findings.item(0)->text(),
              "line 128: error: Frames: says 15, and 14 frame lines follow");

    JointsDialog dialog(window.dialogs->joints.front(), window.form.get());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Joints of linden_avatar_walk_crlf");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("jointSource")->text(), walk);
    EXPECT_EQ(shownText(dialog, "jointCheck"), "Structure checked: 0 errors, 0 warnings.");
    EXPECT_TRUE(dialog.findChild<QListWidget*>("jointFindings")->isHidden());
    EXPECT_EQ(shownText(dialog, "jointSummary"),
              "21 joints: 19 renamed, 1 renamed to nothing, 1 untouched; 1 partial-word hit \u00b7 "
              "14 frames "
              "\u00b7 CR LF line ends");
    const auto& table = *dialog.findChild<QTableWidget*>("jointTable");
    ASSERT_EQ(table.rowCount(), 21);
    const std::pair<int, QStringList> rows[] = {
        {0, {"hip", "Hips", "renamed"}},
        {3, {"neckDummy", "NeckDummy", "renamed, partial word"}},
        {5, {"head", "nothing", "renamed to nothing, Head switched off"}},
        {6, {"figureHair", "figureHair", "untouched: no row matches"}}};
    for (const auto& [row, texts] : rows) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(table.item(row, column)->text(), texts.at(column)) << row;
        }
    }
    // Untouched joints and partial-word hits stand out, each in its own way.
    const auto background = [&](int row) { return table.item(row, 2)->background(); };
    EXPECT_EQ(background(0).style(), Qt::NoBrush);
    EXPECT_NE(background(3).style(), Qt::NoBrush);
    EXPECT_NE(background(6).color(), background(3).color());
    EXPECT_LE(table.horizontalHeader()->length(), table.viewport()->width()) << "no column cut";
    const QSize screen = dialog.screen()->availableGeometry().size();
    EXPECT_EQ(screen.expandedTo(dialog.frameGeometry().size()), screen) << "fits the screen";
}

TEST(JointsDialog, NamesTheMappingThatNamedTheJointsAndAPresetThatWouldFitBetter) {
    Window window;
    const auto walk = QString::fromStdString(t::testdataDir() / "linden_avatar_walk_crlf.bvh");
    const auto mixamo =
        QString::fromStdString(t::testdataDir() / "other-rigs/mixamo_prefixed_freebvh.bvh");
    const QString foreign = window.source("foreign.bvh");
    t::writeFile(foreign.toStdString(), "HIERARCHY\nROOT root_bone\n");
    const QString gone = window.source("gone.bvh");
    const QString poserMax = "poser-max \u2014 Poser to Max (the built-in table)";
    const QString mixamoMax = "mixamo-max \u2014 Mixamo and HumanIK to Max";
    const std::tuple<QString, QString, QString> cases[] = {
        // poser-max-names renames as many joints of a Poser file, which is no reason to switch.
        {walk, poserMax, "Mapping: " + poserMax},
        {walk, mixamoMax,
         "Mapping: " + mixamoMax +
             "\nAnother preset fits better (best fit: poser-max-names, 19 of 21 joints)."},
        {mixamo, "Best fit",
         "Mapping: " + mixamoMax +
             "\nChosen as the best fit (best fit: mixamo-max, 52 of 55 joints)."},
        {foreign, "Best fit",
         "Mapping: none \u2014 Keep every name\nChosen as the best fit (best fit: none, no "
         "preset renames any of 1 joint)."},
        {gone, "Best fit", "Mapping: best fit"}};
    auto& List1 = window.control<ListBox>("List1");
    for (const auto& [source, entry, text] : cases) addSource(window, source);
    std::filesystem::remove(gone.toStdString());
    for (int row = 0; row < List1.model()->rowCount(); ++row) {
        SCOPED_TRACE(row);
        chooseMapping(List1, row, std::get<1>(cases[row]));
        choose(openRowMenu(List1, row), "Show joints...");
        EXPECT_EQ(shownText(JointsDialog(window.dialogs->joints.back()), "jointMapping"),
                  std::get<2>(cases[row]));
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
