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
    const QString agrees = "exact + shape";
    const std::pair<int, QStringList> rows[] = {
        {0, {"hip", "hips", agrees, "Hips", "renamed"}},
        {3, {"neckDummy", "neck_dummy", agrees, "NeckDummy", "renamed, partial word"}},
        {5, {"head", "head", agrees, "nothing", "renamed to nothing, Head switched off"}},
        {6, {"figureHair", "figure_hair", agrees, "figureHair", "untouched: no row matches"}}};
    for (const auto& [row, texts] : rows) {
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(table.item(row, column)->text(), texts.at(column)) << row;
        }
    }
    // Untouched joints and partial-word hits stand out, each in its own way.
    const auto background = [&](int row) { return table.item(row, 4)->background(); };
    EXPECT_EQ(background(0).style(), Qt::NoBrush);
    EXPECT_NE(background(3).style(), Qt::NoBrush);
    EXPECT_NE(background(6).color(), background(3).color());
    EXPECT_LE(table.horizontalHeader()->length(), table.viewport()->width()) << "no column cut";
    const QSize screen = dialog.screen()->availableGeometry().size();
    EXPECT_EQ(screen.expandedTo(dialog.frameGeometry().size()), screen) << "fits the screen";
}

TEST(JointsDialog, NamesTheMappingTheTargetAndTheFingersAndToesItRenames) {
    Window window;
    const auto walk = QString::fromStdString(t::testdataDir() / "linden_avatar_walk_crlf.bvh");
    const auto mixamo =
        QString::fromStdString(t::testdataDir() / "other-rigs/mixamo_prefixed_freebvh.bvh");
    const auto shoulders =
        QString::fromStdString(t::testdataDir() / "skeleton/mocapbank_shoulders.bvh");
    const auto wave = QString::fromStdString(t::exampleFile().string());
    const QString foreign = window.source("foreign.bvh");
    t::writeFile(foreign.toStdString(), "HIERARCHY\nROOT root_bone\n");
    const QString gone = window.source("gone.bvh");
    const QString poserMax = "poser-max \u2014 Poser to Max (the built-in table)";
    const QString mixamoMax = "mixamo-max \u2014 Mixamo and HumanIK to Max";
    const QString stayRed = ". On the diagram they stay red whatever the mapping.";
    const struct {
        QString source;
        QString mapping;
        QString target;  // none: as chosen before
        QString naming;
        QString fingersAndToes;
    } cases[] = {
        // poser-max-names renames as many joints of a Poser file, which is no reason to switch.
        {walk, poserMax, "", "Mapping: " + poserMax, ""},
        {walk, mixamoMax, "",
         "Mapping: " + mixamoMax +
             "\nAnother preset fits better (best fit: poser-max-names, 19 of 21 joints).",
         ""},
        {mixamo, "Best fit", "",
         "Mapping: " + mixamoMax +
             "\nChosen as the best fit (best fit: mixamo-max, 52 of 55 joints).\nTarget: max",
         "Fingers and toes: mixamo-max renames 32 of their 32 joints (mixamorig:LeftHandMiddle1, "
         "mixamorig:LeftHandMiddle2, mixamorig:LeftHandMiddle3, mixamorig:LeftHandThumb1, "
         "mixamorig:LeftHandThumb2, mixamorig:LeftHandThumb3, mixamorig:LeftHandIndex1, "
         "mixamorig:LeftHandIndex2, mixamorig:LeftHandIndex3, mixamorig:LeftHandRing1 and 22 "
         "more)" +
             stayRed},
        {foreign, "Best fit", "",
         "Mapping: none \u2014 Keep every name\nChosen as the best fit (best fit: none, no "
         "preset renames any of 1 joint).\nTarget: max\nThe skeleton is no humanoid's: roles "
         "come from names alone.",
         ""},
        {gone, "Best fit", "", "Mapping: best fit\nTarget: max", ""},
        {wave, "Best fit", "unreal \u2014 Unreal Engine mannequin",
         "Mapping: best fit\nTarget: unreal",
         "Fingers and toes: target unreal renames 32 of their 32 joints (rThumb1, rThumb2, "
         "rThumb3, rIndex1, rIndex2, rIndex3, rMid1, rMid2, rMid3, rRing1 and 22 more)" +
             stayRed},
        // A best fit into Max: a preset, whatever roles the skeleton finds.
        {shoulders, "Best fit", "max \u2014 Max",
         "Mapping: none \u2014 Keep every name\nChosen as the best fit (best fit: none, Max names "
         "on 17 of 19 joints).\nTarget: max",
         ""}};
    auto& List1 = window.control<ListBox>("List1");
    for (const auto& c : cases) addSource(window, c.source);
    std::filesystem::remove(gone.toStdString());
    for (int row = 0; row < List1.model()->rowCount(); ++row) {
        const auto& c = cases[row];
        SCOPED_TRACE(row);
        chooseMapping(List1, row, c.mapping);
        if (!c.target.isEmpty()) choose(openSubmenu(openRowMenu(List1, row), "Target"), c.target);
        choose(openRowMenu(List1, row), "Show joints...");
        const JointsDialog dialog(window.dialogs->joints.back());
        EXPECT_EQ(shownText(dialog, "jointMapping"), c.naming);
        EXPECT_EQ(shownText(dialog, "jointFingers"), c.fingersAndToes);
    }
    // A name the skeleton contradicts stands out: Max's upper arm is this file's collar.
    const JointsDialog dialog(window.dialogs->joints.back());
    const auto& table = *dialog.findChild<QTableWidget*>("jointTable");
    const QStringList shoulder = {
        "LeftShoulder", "left_collar", "skeleton", "LeftShoulder",
        "untouched: no row matches, the skeleton contradicts its name (left_upper_arm)"};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(table.item(3, column)->text(), shoulder.at(column));
    }
    EXPECT_NE(table.item(3, 0)->background().color(), table.item(4, 0)->background().color());
}

}  // namespace
}  // namespace skelvane::ui::testing
