// The real dialogs, answered by a script once they show.

#include "panel_fixture.h"
#include "platform/text/icu_country_names.h"
#include "ui/qt_dialogs.h"
#include "ui/setting_window_controller.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace platter {
namespace {

using testing::whenModalShows;

QPushButton* buttonTitled(QWidget* dialog, const QString& title) {
    for (auto* b : dialog->findChildren<QPushButton*>())
        if (b->text().remove('&') == title) return b;
    return nullptr;
}

TEST(QtDialogs, QuestionsAreYesOnlyWhenTheirYesIsChosen) {
    QtDialogs dialogs;
    whenModalShows([](QWidget* box) {
        EXPECT_EQ(qobject_cast<QMessageBox*>(box)->icon(), QMessageBox::Critical);
        EXPECT_EQ(qobject_cast<QMessageBox*>(box)->text(),
                  "If you click \"OK\", all playlists created in \"Platter\" will deleted.\nAre you sure?");
        buttonTitled(box, "Cancel")->click();
    });
    EXPECT_FALSE(dialogs.confirmReset());
    whenModalShows([](QWidget* box) { buttonTitled(box, "OK")->click(); });
    EXPECT_TRUE(dialogs.confirmReset());
    whenModalShows([](QWidget* box) { qobject_cast<QMessageBox*>(box)->reject(); });
    EXPECT_FALSE(dialogs.confirmReset()) << "closing the box is Cancel";

    using Why = Dialogs::NothingPlayable::Why;
    whenModalShows([](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        EXPECT_EQ(message->text(), "Nothing in \u201cMix\u201d can be played.");
        EXPECT_TRUE(message->informativeText().startsWith("The files of 1,200 of its 2,000 songs"))
            << message->informativeText().toStdString();
        buttonTitled(box, "Find Music Folder\u2026")->click();
    });
    EXPECT_TRUE(dialogs.explainNothingPlayable({"Mix", Why::FilesNotHere, 1200, 2000}));
    whenModalShows([](QWidget* box) {
        EXPECT_EQ(buttonTitled(box, "Find Music Folder\u2026"), nullptr) << "nowhere else to look";
        buttonTitled(box, "OK")->click();
    });
    EXPECT_FALSE(dialogs.explainNothingPlayable({"Radio", Why::NoFiles, 0, 3}));

    using Kind = LibraryProblem::Kind;
    EXPECT_EQ(QtDialogs::problemText({"a.xml", Dialogs::NotALibrary::Why::Unreadable, "bad byte", {}}),
              "It could not be read: bad byte.");
    EXPECT_EQ(QtDialogs::problemText(
                  {"a.xml", Dialogs::NotALibrary::Why::NoLibrary, {}, {Kind::TrackNotDictionary, "7"}}),
              "Its track \u201c7\u201d is no dictionary.");
}

TEST(QtDialogs, WithoutALibraryTheUserChoosesAgainOrQuits) {
    QtDialogs dialogs;
    const std::vector<std::string> lookedAt{"/home/a/Music/iTunes/iTunes Music Library.xml",
                                            "/home/a/Music/Music/Library.xml"};
    whenModalShows([](QWidget* box) {
        const auto text = qobject_cast<QMessageBox*>(box)->informativeText();
        EXPECT_TRUE(text.contains("/home/a/Music/iTunes/iTunes Music Library.xml")) << text.toStdString();
        EXPECT_TRUE(text.contains("/home/a/Music/Music/Library.xml"));
        buttonTitled(box, "Choose Library\u2026")->click();
    });
    EXPECT_EQ(dialogs.runNoLibraryAlert(lookedAt), Dialogs::NoLibraryChoice::ChooseAgain);
    whenModalShows([](QWidget* box) { buttonTitled(box, "Quit")->click(); });
    EXPECT_EQ(dialogs.runNoLibraryAlert(lookedAt), Dialogs::NoLibraryChoice::Quit);
    whenModalShows([](QWidget* box) { qobject_cast<QMessageBox*>(box)->reject(); });
    EXPECT_EQ(dialogs.runNoLibraryAlert(lookedAt), Dialogs::NoLibraryChoice::Quit) << "closing the box quits";
}

TEST(QtDialogs, TheSavePanelOffersTheDefaultNameAndAddsTheExtension) {
    testing::TempDir dir;
    QtDialogs dialogs;
    whenModalShows([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Export iTune Playlist");
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (name->text() != "Road Songs") { // the first look: what the panel offers
            EXPECT_EQ(name->text(), "Platter - Mix.xml");
            dialog->setDirectory(QString::fromStdString(dir.path().string()));
            name->setText(QStringLiteral("Road Songs"));
        }
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto path = dialogs.runExportPanel("Mix");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, (dir.path() / "Road Songs.xml").string());
    whenModalShows([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(dialogs.runExportPanel("Mix"));
}

TEST(QtDialogs, TheSavePanelsM3u8TypeNamesTheFileForIt) {
    testing::TempDir dir;
    QtDialogs dialogs;
    whenModalShows([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_TRUE(name && types);
        if (name->text() == "Platter - Mix.xml") { // the first look
            EXPECT_EQ(types->itemText(1), "M3U8 playlist for other players (*.m3u8)");
            dialog->setDirectory(QString::fromStdString(dir.path().string()));
            types->setCurrentIndex(1);
            emit types->activated(1);
            EXPECT_EQ(name->text(), "Platter - Mix.m3u8") << "the name follows the type";
            name->setText(QStringLiteral("Road Songs"));
        }
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(dialogs.runExportPanel("Mix"), (dir.path() / "Road Songs.m3u8").string());
}

TEST(QtDialogs, TheOpenPanelReturnsTheChosenFileOrNothing) {
    QtDialogs dialogs;
    whenModalShows([](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QStringLiteral(PLATTER_DEMO_LIBRARY));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(dialogs.runOpenPanel(), std::optional<std::string>(PLATTER_DEMO_LIBRARY));
    whenModalShows([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(dialogs.runOpenPanel());
}

class Preferences : public testing::PanelFixture {
protected:
    void SetUp() override {
        qputenv("LANG", "en_US.UTF-8");
        PanelFixture::SetUp();
    }
    // The preferences window of a controller on the real dialogs and ICU's country names.
    AppDelegate& realPreferences() {
        h.system.region = "US";
        h.defaults = std::make_unique<UserDefaults>(h.settings);
        controller =
            std::make_unique<AppDelegate>(h.services({.dialogs = &dialogs, .countries = &countries}));
                controller->applicationDidFinishLaunching();
        return *controller;
    }

    QtDialogs dialogs;
    IcuCountryNames countries;
    std::unique_ptr<AppDelegate> controller;
};

TEST_F(Preferences, OkStoresTheChoiceAndCancelChangesNothing) {
    auto& prefs = realPreferences();
    ASSERT_EQ(prefs.countryCode(), "us");
    whenModalShows([](QWidget* w) {
        auto* window = qobject_cast<MySettingWindowController*>(w);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->countryList()->currentText(), "United States") << "the current country is selected";
        EXPECT_EQ(window->ratioF()->text(), "25");
        window->countryList()->setCurrentIndex(window->countryList()->findText("France"));
        window->ratioF()->setText("150");
        window->cancelButton()->click();
    });
    prefs.preferences();
    EXPECT_EQ(prefs.countryCode(), "us");
    EXPECT_EQ(prefs.topArtistsRatio(), 25);

    whenModalShows([](QWidget* w) {
        auto* window = qobject_cast<MySettingWindowController*>(w);
        window->countryList()->setCurrentIndex(window->countryList()->findText("France"));
        window->ratioF()->setText("150");
        EXPECT_EQ(window->replayGainMode()->currentText(), "By shuffle grain");
        window->replayGainMode()->setCurrentIndex(window->replayGainMode()->findText("Off"));
        EXPECT_FALSE(window->preAmp()->isEnabled()) << "no levels to set when off";
        window->replayGainMode()->setCurrentIndex(window->replayGainMode()->findText("Always album gain"));
        window->preAmp()->setValue(40);
        window->untaggedGain()->setValue(-4.5);
        EXPECT_EQ(window->shuffleMode()->currentText(), "Uniform") << "the default";
        window->shuffleMode()->setCurrentIndex(window->shuffleMode()->findText("Rediscover"));
        window->okButton()->click();
    });
    prefs.preferences();
    EXPECT_EQ(prefs.replayGain(), (ReplayGain{ReplayGain::Mode::Album, 15, -4.5})) << "the box keeps to its range";
    EXPECT_EQ(prefs.countryCode(), "fr");
    EXPECT_EQ(prefs.topArtistsRatio(), 100) << "clamped";
    EXPECT_EQ(*plist::find(h.settings.values, "countryCode")->get<std::string>(), "fr");
    EXPECT_EQ(*plist::find(h.settings.values, "shuffleMode")->get<std::string>(), "rediscover");

    whenModalShows([](QWidget* w) {
        auto* window = qobject_cast<MySettingWindowController*>(w);
        EXPECT_EQ(window->countryList()->currentText(), "France");
        window->countryList()->setCurrentIndex(window->countryList()->findText("United States"));
        window->ratioF()->setText("abc");
        window->okButton()->click();
    });
    prefs.preferences();
    EXPECT_EQ(prefs.topArtistsRatio(), 1) << "no number reads as 0, clamped to 1";
    EXPECT_EQ(plist::find(h.settings.values, "countryCode"), nullptr)
        << "the region's own country is not stored";
}

TEST(SettingWindow, ListsTheCountriesGivenAndTheirSelection) {
    MySettingWindowController window(
        {.countries = {"Austria", "Brazil", "Chile"}, .selectedCountry = 1, .ratio = 40});
    EXPECT_EQ(window.countryList()->count(), 3);
    EXPECT_EQ(window.countryList()->currentText(), "Brazil");
    EXPECT_EQ(window.choice().selectedCountry, 1u);
    EXPECT_EQ(window.choice().ratioText, "40");
    MySettingWindowController none({.countries = {"Austria"}, .selectedCountry = std::nullopt});
    EXPECT_FALSE(none.choice().selectedCountry) << "a country the locale cannot name selects no row";
}

TEST(SettingWindow, MusicFoldersAreAddedOnceAndRemoved) {
    MySettingWindowController window({.countries = {"Austria"}, .musicFolders = {"/mnt/old"}});
    EXPECT_FALSE(window.removeFolderButton()->isEnabled()) << "nothing selected to remove";
    std::optional<std::string> next = "/media/usb/Music";
    window.setFolderChooser([&] { return next; });
    window.addFolderButton()->click();
    window.addFolderButton()->click();
    next = std::nullopt; // cancelled
    window.addFolderButton()->click();
    EXPECT_EQ(window.choice().musicFolders, (std::vector<std::string>{"/mnt/old", "/media/usb/Music"}));
    window.musicFolders()->setCurrentRow(0);
    ASSERT_TRUE(window.removeFolderButton()->isEnabled());
    window.removeFolderButton()->click();
    EXPECT_EQ(window.choice().musicFolders, std::vector<std::string>{"/media/usb/Music"});
}

} // namespace
} // namespace platter
