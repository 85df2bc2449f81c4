#include "macro/macro_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <memory>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/gvar.h"
#include "base/language_texts.h"
#include "macro/macro_file.h"
#include "profile/orphan_macros.h"
#include "macro_test_log.h"
#include "platform/fs.h"
#include "platform/window_recorder.h"
#include "support/temp_dir.h"
#include "ui/import_limits.h"

namespace {

using ::testing::ElementsAre;

struct FakeUi : MacroStoreUi {
    std::optional<std::string> AskName(const std::string& prompt, int maxChars) override {
        prompts.push_back(prompt);
        EXPECT_EQ(maxChars, 15);
        if (names.empty()) return std::nullopt;
        auto n = names.front();
        names.pop_front();
        return n;
    }
    bool Confirm(const std::string& question) override {
        questions.push_back(question);
        return confirm;
    }
    void RefreshButtonPage(bool applyKeys) override {
        ++refreshes;
        lastApply = applyKeys;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Tell(const Notice& n) override {
        EXPECT_EQ(n.caption, gVar.szTitle);
        messages.push_back(n.text);
    }
    void ShowInEditor(MacroId id) override { shown.push_back(id); }
    void ClearEditor() override { ++cleared; }
    std::optional<std::string> LimitImported(StMacro& m, std::vector<std::string>& said) override {
        return LimitImportedMacro(m, said);
    }

    std::deque<std::optional<std::string>> names;
    std::vector<std::string> prompts, questions;
    std::vector<std::string> messages;  // shown and told, in order
    bool confirm = true;
    int refreshes = 0;
    bool lastApply = false;
    std::vector<MacroId> shown;
    int cleared = 0;
};

class MacroStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gVar.szAppDataDir = dir.path();
        gVar.ApplyNow = 1;
        platform::recorder::Clear();
        root = MacroRootFolder();
        ASSERT_TRUE(platform::MakeDirectory(root));
        store = std::make_unique<MacroStore>(
            tree, ui, root, list, [this] { return FixOrphanMacros(profile, defaults, list); });
    }
    void TearDown() override {
        gVar.szAppDataDir.clear();
        gVar.ApplyNow = 0;
        platform::recorder::Clear();
    }
    // A macro file under the root ("Games/b.qzm"), written plainly.
    MacroId PutMacro(const std::string& rel, MacroId id) {
        StMacro m = NewMacroRecord(platform::FileNameOf(rel), id);
        m.events[0] = MacroEvent{0x41, 1, 5};
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        Put(rel, std::string(reinterpret_cast<char*>(bytes), sizeof bytes));
        return id;
    }
    void Put(const std::string& rel, const std::string& content) {
        const std::string path = platform::JoinPath(root, rel);
        EXPECT_TRUE(MakeSureFolderExist(path));
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    void MakeFolder(const std::string& rel) {
        EXPECT_TRUE(MakeSureFolderExist(platform::JoinPath(root, rel + "/x")));
    }
    std::string At(const std::string& rel) const { return platform::JoinPath(root, rel); }
    std::vector<std::string> Messages() { return std::exchange(ui.messages, {}); }
    // Texts of the children of an item, folders marked with a trailing '/'.
    std::vector<std::string> Shown(MacroTreeItem parent = kMacroTreeRoot) const {
        std::vector<std::string> out;
        for (MacroTreeItem c : tree.Children(parent)) {
            const MacroTreeNode* n = tree.Find(c);
            out.push_back(n->text + (n->kind == MacroItemKind::Folder ? "/" : ""));
        }
        return out;
    }

    zvtest::TempDir dir;
    std::string root;
    MacroTree tree;
    MacroList list;
    FakeUi ui;
    ProfileFile profile{};
    KeySets defaults{};
    // Made in SetUp, once the data folder is set.
    std::unique_ptr<MacroStore> store;
};

TEST_F(MacroStoreTest, QzmFilesHoldingAMacroAreShownWithoutTheirLastExtension) {
    PutMacro("abc.def.qzm", 1);
    PutMacro("zed.QZM", 3);
    // Macro bytes under another name are not macros: a leftover of an unfinished save would
    // otherwise come back as a second copy.
    PutMacro("noext", 2);
    PutMacro("x.txt", 4);
    PutMacro("x.qzm.tmp123_0", 5);
    Put("notes.txt", std::string(900, 'n'));
    Put("short.qzm", "x");
    ASSERT_TRUE(LoadMacroFolder(root, &tree, kMacroTreeRoot, false, false, list));
    EXPECT_THAT(Shown(), ElementsAre("abc.def", "zed"));
    EXPECT_EQ(list.Count(), 0u) << "the page's tree does not fill the list";
    EXPECT_EQ(tree.Find(tree.FindRootChild("ABC.DEF"))->id, 1u);
}

TEST_F(MacroStoreTest, SubFoldersOnlyWithMacroDir) {
    PutMacro("a.qzm", 1);
    PutMacro("Games/b.qzm", 2);
    Put("Games/Games.png", "png");
    PutMacro("Work/c.qzm", 3);
    PutMacro(".hidden/d.qzm", 4);
    PutMacro("$sys/e.qzm", 5);

    struct Case {
        bool macroDir;
        std::vector<std::string> top;
        size_t listed;
    };
    for (const Case& c : {Case{false, {"a"}, 1}, Case{true, {"Games/", "Work/", "a"}, 3}}) {
        MacroTree t;
        MacroList l;
        ASSERT_TRUE(LoadMacroFolder(root, nullptr, 0, c.macroDir, true, l));
        ASSERT_TRUE(LoadMacroFolder(root, &t, kMacroTreeRoot, c.macroDir, false, l));
        tree = t;
        EXPECT_EQ(Shown(), c.top) << c.macroDir;
        EXPECT_EQ(l.Count(), c.listed) << c.macroDir;
    }
    const MacroTreeNode* games = tree.Find(tree.FindRootChild("Games"));
    EXPECT_EQ(games->icon, At("Games/Games.png"));
    EXPECT_EQ(tree.Find(tree.FindRootChild("Work"))->icon, "");
    EXPECT_THAT(Shown(games->handle), ElementsAre("b"));
}

TEST_F(MacroStoreTest, FoldersBelowTheDepthLimitAreNeitherShownNorWalked) {
    std::string rel;
    for (int d = 0; d <= 6; ++d) {
        rel += "d" + std::to_string(d) + "/";
        PutMacro(rel + "m" + std::to_string(d) + ".qzm", 100 + d);
    }
    ASSERT_TRUE(store->Load(true));
    MacroTreeItem deepest = 0;
    for (MacroTreeItem h : tree.Descendants(kMacroTreeRoot))
        if (tree.Find(h)->kind == MacroItemKind::Folder) deepest = h;
    EXPECT_EQ(tree.Find(deepest)->text, "d5");
    EXPECT_EQ(tree.ItemDepth(deepest), 5);
    EXPECT_THAT(Shown(deepest), ElementsAre("m5"));
    // The start-up walk without a tree takes the same macros.
    ASSERT_TRUE(LoadMacroFolder(root, nullptr, 0, true, true, list));
    EXPECT_EQ(list.Count(), 6u);
    EXPECT_FALSE(list.Contains(106));
}

TEST_F(MacroStoreTest, ItemPaths) {
    PutMacro("Games/b.qzm", 2);
    ASSERT_TRUE(store->Load(true));
    const MacroTreeItem games = tree.FindRootChild("Games");
    const MacroTreeItem b = tree.FindChild(games, "b");
    EXPECT_EQ(TreeItemToFilePath(tree, b, root), At("Games/b.qzm"));
    EXPECT_EQ(TreeItemToFilePath(tree, games, root), At("Games"));
    EXPECT_FALSE(TreeItemToFilePath(tree, 0, root));
    // A text that would leave the folder, and a path too long for Windows, give no path.
    const MacroTreeItem up = tree.InsertItem(games, MacroItemKind::Macro, "..", 9);
    EXPECT_FALSE(TreeItemToFilePath(tree, up, root));
    const MacroTreeItem longName =
        tree.InsertItem(games, MacroItemKind::Macro, std::string(260, 'x'), 9);
    EXPECT_FALSE(TreeItemToFilePath(tree, longName, root));
    zvtest::MacroLogCapture log;
    EXPECT_FALSE(Flush_Dirty_Macro(longName, &tree, root, list));
    EXPECT_TRUE(log.Has("Flush_Dirty_Macro: TreeItem_To_FilePath failed"));
    EXPECT_FALSE(Flush_Dirty_Macro(b, nullptr, root, list));
    EXPECT_TRUE(log.Has("Flush_Dirty_Macro: pItem=0x"));
}

TEST_F(MacroStoreTest, CheckFileNameRefusesOrCuts) {
    // Without a tc_tip1 text the message is the built-in one.
    dir.Write("empty.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts/>\n");
    ASSERT_TRUE(LoadTexts(dir / "empty.xml"));
    struct Case {
        const char* typed;
        std::optional<std::string> result;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a.b", "a"},
        {"x.y.z", "x.y"},
        {"a-b", {}},
        {"#1", {}},
        {"a/b", {}},
        {"50%", {}},
        {"..", {}},
        {"", {}},
        {"CON", {}},
        {"a:b", {}},
        {"tab\there", {}},
        {"ok name", "ok name"},
    };
    for (const Case& c : cases) {
        const NameCheck checked = CheckFileName(c.typed);
        EXPECT_EQ(checked.name, c.result) << c.typed;
        if (c.result) {
            EXPECT_FALSE(checked.refusal) << c.typed;
        } else {
            ASSERT_TRUE(checked.refusal) << c.typed;
            EXPECT_EQ(checked.refusal->text, "Invalid file name.") << c.typed;
        }
    }
}

TEST_F(MacroStoreTest, CreateMacroUnderTheSelectedFolder) {
    PutMacro("Games/b.qzm", 2);
    ASSERT_TRUE(store->Load(true));
    const MacroTreeItem games = tree.FindRootChild("Games");

    // A macro selected: nothing happens, not even the prompt.
    tree.Select(tree.FindChild(games, "b"));
    EXPECT_EQ(store->CreateMacro(), 0u);
    EXPECT_TRUE(ui.prompts.empty());

    tree.Select(games);
    ui.names = {std::nullopt, "B", "bad#", "new.one"};
    EXPECT_EQ(store->CreateMacro(), 0u) << "cancelled";
    EXPECT_EQ(store->CreateMacro(), 0u) << "b exists in that folder";
    EXPECT_EQ(store->CreateMacro(), 0u) << "refused name";
    EXPECT_THAT(Messages(), ElementsAre(GetText("tc_macro_msg8"), "Invalid file name."));
    const MacroTreeItem item = store->CreateMacro();
    ASSERT_NE(item, 0u);
    EXPECT_EQ(tree.Selected(), item);
    EXPECT_EQ(tree.Find(item)->parent, games);
    EXPECT_EQ(tree.Find(item)->text, "new");
    const MacroId id = tree.Find(item)->id;
    EXPECT_THAT(ui.shown, ElementsAre(id));
    std::optional<StMacro> rec = list.FindMacroById(id);
    ASSERT_TRUE(rec);
    EXPECT_EQ(MacroNameUtf8(*rec), "new");
    EXPECT_EQ(+rec->repeatCount, 1);
    EXPECT_EQ(+rec->flags, kMacroChanged);
    EXPECT_FALSE(platform::FileExists(At("Games/new.qzm"))) << "written by the next save";

    store->FlushAll();
    EXPECT_EQ(+list.FindMacroById(id)->flags, 0u);
    std::optional<StMacro> file = ReadMacroFile(At("Games/new.qzm"));
    ASSERT_TRUE(file);
    EXPECT_EQ(+file->id, id);
}

TEST_F(MacroStoreTest, The2001stMacroIsRefused) {
    for (MacroId id = 1; id <= 1999; ++id) list.AddMacroToList(NewMacroRecord("m", id));
    ui.names = {"last", "one too many"};
    ASSERT_NE(store->CreateMacro(), 0u);
    EXPECT_EQ(list.Count(), 2000u);
    tree.Select(0);
    EXPECT_EQ(store->CreateMacro(), 0u);
    EXPECT_EQ(list.Count(), 2000u);
    EXPECT_THAT(Messages(), ElementsAre("The number of macro is up to the maximum"));
    EXPECT_EQ(ui.prompts.size(), 1u) << "no name is asked for";
}

TEST_F(MacroStoreTest, RenameMacroMovesItsFileAndRenamesTheRecord) {
    PutMacro("Games/b.qzm", 2);
    PutMacro("Games/c.qzm", 3);
    Put("Games/taken.qzm", "not a macro");
    ASSERT_TRUE(LoadMacroFolder(root, nullptr, 0, true, true, list));
    ASSERT_TRUE(store->Load(true));
    const MacroTreeItem b = tree.FindChild(tree.FindRootChild("Games"), "b");

    ui.names = {"C", "taken", "Bee"};
    EXPECT_FALSE(store->RenameItem(b));
    EXPECT_FALSE(store->RenameItem(b));
    EXPECT_THAT(Messages(), ElementsAre(GetText("tc_macro_msg8"), "Rename failed. err=0xb7"));
    EXPECT_EQ(tree.Find(b)->text, "b");
    EXPECT_EQ(ui.refreshes, 0);

    ASSERT_TRUE(store->RenameItem(b));
    EXPECT_EQ(tree.Find(b)->text, "Bee");
    EXPECT_FALSE(platform::FileExists(At("Games/b.qzm")));
    std::optional<StMacro> file = ReadMacroFile(At("Games/Bee.qzm"));
    ASSERT_TRUE(file);
    EXPECT_EQ(MacroNameUtf8(*file), "Bee");
    EXPECT_EQ(MacroNameUtf8(*list.FindMacroById(2)), "Bee");
    EXPECT_EQ(list.FileOf(2), At("Games/Bee.qzm")) << "saved and deleted at its new file";
    EXPECT_EQ(+list.FindMacroById(2)->flags, 0u);
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_TRUE(ui.lastApply);
    EXPECT_THAT(ui.prompts, ::testing::Each(GetText("tc_macro_msg11")));
}

TEST_F(MacroStoreTest, RenameFolderKeepsItsMacrosAndMovesItsIcon) {
    PutMacro("Games/b.qzm", 2);
    Put("Games/Games.png", "png");
    PutMacro("Games/Sub/s.qzm", 3);
    Put("Games/Sub/Sub.png", "png");
    MakeFolder("Gone");
    ASSERT_TRUE(LoadMacroFolder(root, nullptr, 0, true, true, list));
    ASSERT_TRUE(store->Load(true));
    profile.keys[0][1] = KeyInfo{0x05000000, 2, 3};
    const ProfileFile before = profile;

    const MacroTreeItem games = tree.FindRootChild("Games");
    ui.names = {"Play"};
    ASSERT_TRUE(store->RenameItem(games));
    EXPECT_TRUE(platform::FileExists(At("Play/Play.png")));
    EXPECT_FALSE(platform::DirectoryExists(At("Games")));
    EXPECT_EQ(tree.Find(games)->icon, At("Play/Play.png"));
    const MacroTreeItem sub = tree.FindChild(games, "Sub");
    EXPECT_EQ(tree.Find(sub)->icon, At("Play/Sub/Sub.png"));
    EXPECT_EQ(list.Count(), 2u) << "the folder's macros stay in the list";
    EXPECT_EQ(profile, before) << "and the buttons that play them keep them";
    EXPECT_EQ(TreeItemToFilePath(tree, tree.FindChild(sub, "s"), root), At("Play/Sub/s.qzm"));
    EXPECT_EQ(list.FileOf(3), At("Play/Sub/s.qzm"));

    // The folder vanished from the disk behind the program's back.
    platform::RemoveEmptyDirectory(At("Gone"));
    ui.names = {"Back"};
    EXPECT_FALSE(store->RenameItem(tree.FindRootChild("Gone")));
    EXPECT_THAT(Messages(), ElementsAre("Rename failed. err=0x2"));
    EXPECT_EQ(ui.prompts.back(), GetText("tc_macro_msg13"));
}

TEST_F(MacroStoreTest, DeletingAnAssignedMacroRestoresTheButtonDefault) {
    PutMacro("a.qzm", 0x10);
    PutMacro("keep.qzm", 0x11);
    ASSERT_TRUE(LoadMacroFolder(root, nullptr, 0, false, true, list));
    ASSERT_TRUE(store->Load(false));
    ASSERT_TRUE(platform::SetReadOnly(At("a.qzm"), true));
    defaults[0][3] = KeyInfo{0x01000012, 4};
    profile.keys[0][3] = KeyInfo{0x05000000, 4, 0x10};
    profile.keys[0][4] = KeyInfo{0x05000000, 5, 0x11};

    const MacroTreeItem a = tree.FindRootChild("a");
    ui.confirm = false;
    EXPECT_FALSE(store->DeleteItem(a));
    EXPECT_EQ(list.Count(), 2u) << "not confirmed";

    ui.confirm = true;
    ASSERT_TRUE(store->DeleteItem(a));
    EXPECT_THAT(ui.questions, ElementsAre(GetText("tc_msg6"), GetText("tc_msg6")));
    EXPECT_EQ(profile.keys[0][3], defaults[0][3]);
    EXPECT_EQ(profile.keys[0][4].dwMacroID, 0x11u);
    EXPECT_GE(ui.refreshes, 1);
    EXPECT_TRUE(ui.lastApply);
    EXPECT_FALSE(list.Contains(0x10));
    EXPECT_FALSE(platform::FileExists(At("a.qzm"))) << "read-only files are deleted too";
    EXPECT_THAT(Shown(), ElementsAre("keep"));
    EXPECT_EQ(ui.cleared, 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MacroStoreTest, DeletingAFolderRemovesItsMacrosEverywhere) {
    PutMacro("Games/b.qzm", 2);
    PutMacro("Games/Sub/s.qzm", 3);
    Put("Games/Games.png", "png");
    MakeFolder("Gone");
    ASSERT_TRUE(LoadMacroFolder(root, nullptr, 0, true, true, list));
    ASSERT_TRUE(store->Load(true));
    ASSERT_TRUE(platform::SetReadOnly(At("Games/Sub/s.qzm"), true));
    profile.keys[1][7] = KeyInfo{0x05000000, 8, 3};

    ASSERT_TRUE(store->DeleteItem(tree.FindRootChild("Games")));
    EXPECT_FALSE(platform::DirectoryExists(At("Games")));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(profile.keys[1][7], defaults[1][7]);
    EXPECT_EQ(ui.refreshes, 1) << "the button page shows the default";

    // Already gone from the disk: the item goes without a message.
    platform::RemoveEmptyDirectory(At("Gone"));
    EXPECT_TRUE(store->DeleteItem(tree.FindRootChild("Gone")));
    EXPECT_TRUE(tree.Children(kMacroTreeRoot).empty());
    EXPECT_TRUE(Messages().empty());
}

#ifndef _WIN32
TEST_F(MacroStoreTest, DeletingAFolderRemovesLinksNeverWhatTheyPointAt) {
    // Files outside the data folder, reached through links in the macro folder.
    zvtest::TempDir outside;
    outside.Write("precious.qzm", "mine");
    ASSERT_TRUE(platform::MakeDirectory(outside / "sub"));
    outside.Write("sub/also.qzm", "mine too");
    MakeFolder("Games");
    ASSERT_EQ(::symlink(outside.path().c_str(), At("Games/link").c_str()), 0);
    ASSERT_EQ(::symlink((outside / "sub").c_str(), At("Linked").c_str()), 0);
    ASSERT_TRUE(store->Load(true));

    for (const char* folder : {"Games", "Linked"}) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(store->DeleteItem(tree.FindRootChild(folder)));
        EXPECT_FALSE(platform::IsLink(At(folder)) || platform::DirectoryExists(At(folder)));
    }
    EXPECT_EQ(outside.Read("precious.qzm"), "mine");
    EXPECT_EQ(outside.Read("sub/also.qzm"), "mine too");
}
#endif

TEST_F(MacroStoreTest, DeleteFailures) {
    MakeFolder("stuck.qzm");  // a folder where the macro's file should be
    Put("stuck.qzm/inner", "x");
    tree.InsertItem(kMacroTreeRoot, MacroItemKind::Macro, "stuck", 7);
    list.AddMacroToList(NewMacroRecord("stuck", 7));
    zvtest::MacroLogCapture log;

    EXPECT_FALSE(store->DeleteItem(0));
    EXPECT_FALSE(store->DeleteItem(tree.FindRootChild("stuck")));
    EXPECT_THAT(Messages(), ElementsAre("Operation failed, hItem = 0x0, pItem = 0x0.",
                                        "Delete File failed, err = 5."));
    EXPECT_TRUE(log.Has("DeleteFile " + At("stuck.qzm") + ", err=5"));
    EXPECT_FALSE(list.Contains(7)) << "the macro is gone from the library all the same";
}

TEST_F(MacroStoreTest, PromptsAndMessagesComeFromTheLanguageTexts) {
    dir.Write("text.xml",
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts><config>"
              "<tc_tip1>No such name</tc_tip1><tc_macro_msg8>Name in use</tc_macro_msg8>"
              "<tc_macro_msg11>Macro name:</tc_macro_msg11><tc_msg6>Sure?</tc_msg6>"
              "</config></texts>\n");
    dir.Write("empty.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<texts/>\n");
    ASSERT_TRUE(LoadTexts(dir / "text.xml"));
    struct Reset {
        std::string path;
        ~Reset() { LoadTexts(path); }
    } reset{dir / "empty.xml"};

    PutMacro("a.qzm", 1);
    ASSERT_TRUE(store->Load(false));
    ui.names = {"x#", "A"};
    EXPECT_EQ(store->CreateMacro(), 0u);
    EXPECT_EQ(store->CreateMacro(), 0u);
    ui.confirm = false;
    EXPECT_FALSE(store->DeleteItem(tree.FindRootChild("a")));
    EXPECT_THAT(Messages(), ElementsAre("No such name", "Name in use"));
    EXPECT_THAT(ui.prompts, ElementsAre("Macro name:", "Macro name:"));
    EXPECT_THAT(ui.questions, ElementsAre("Sure?"));
}

TEST_F(MacroStoreTest, ImportTakesTheFilesTitleAndANewIdAndRefusesWhatTheMouseCannotPlay) {
    // Outside the macro folder, as a user's download would be.
    auto outside = [&](const std::string& name, int16_t button) {
        StMacro m = NewMacroRecord("inner name", 0x0A0B0C);
        m.LoopMode = 1;
        m.repeatCount = 7;
        m.events[0] = MacroEvent{button, kMacroEventDown, 40};
        m.events[1] = MacroEvent{button, 0, 0};
        uint8_t bytes[kStMacroSize];
        MacroFileBytes(m, bytes);
        const std::string path = platform::JoinPath(dir.path(), name);
        EXPECT_TRUE(MyCreateFile(path, bytes, sizeof bytes));
        return path;
    };
    MakeFolder("Games");
    ASSERT_TRUE(store->Load(true));
    const MacroTreeItem games = tree.FindRootChild("Games");

    const MacroTreeItem fwd = store->ImportMacro(outside("fwd.v2.qzm", MOUSE_VK_FORWARD), games);
    ASSERT_NE(fwd, 0u);
    EXPECT_THAT(Shown(games), ElementsAre("fwd.v2"));
    const MacroId id = tree.Find(fwd)->id;
    EXPECT_NE(id, 0x0A0B0Cu);
    ASSERT_EQ(ui.shown, std::vector<MacroId>{id});
    const std::optional<StMacro> onDisk = ReadMacroFile(At("Games/fwd.v2.qzm"));
    ASSERT_TRUE(onDisk.has_value());
    EXPECT_EQ(+onDisk->id, id);
    EXPECT_EQ(MacroNameUtf8(*onDisk), "fwd.v2");
    EXPECT_EQ(+onDisk->LoopMode, 1u);
    EXPECT_EQ(+onDisk->repeatCount, 7);
    EXPECT_EQ(+onDisk->events[0].code, MOUSE_VK_FORWARD);
    EXPECT_EQ(+onDisk->events[0].delay, 40u);
    EXPECT_EQ(+onDisk->flags, 0u);
    EXPECT_TRUE(list.Contains(id));

    struct Case {
        std::string file;
        MacroTreeItem target;
        std::string message;
    };
    const Case refused[] = {
        {outside("wheel.qzm", MOUSE_VK_WHEEL_UP), kMacroTreeRoot,
         "This macro contains unsupported key."},
        // The rules of recording: a key without a keyboard code cannot be played.
        {outside("bell.qzm", 0x07), kMacroTreeRoot,
         "Cannot import " + platform::JoinPath(dir.path(), "bell.qzm") +
             ": event 1 presses key 0x07, which the mouse cannot play."},
        // Same title in the same folder, ignoring case.
        {outside("FWD.V2.qzm", MOUSE_VK_LEFT), games, GetText("tc_macro_msg8")},
        {platform::JoinPath(dir.path(), "missing.qzm"), kMacroTreeRoot,
         "Open macro file failed. error=0x2"},
    };
    for (const Case& c : refused) {
        const size_t before = list.Count();
        EXPECT_EQ(store->ImportMacro(c.file, c.target), 0u) << c.file;
        EXPECT_THAT(Messages(), ElementsAre(c.message)) << c.file;
        EXPECT_EQ(list.Count(), before) << c.file;
    }
    EXPECT_FALSE(platform::FileExists(At("wheel.qzm")));

    // Export copies the file as last written.
    const std::string dest = platform::JoinPath(dir.path(), "out.qzm");
    ASSERT_TRUE(store->ExportMacro(fwd, dest));
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(platform::ReadFile(dest, a));
    ASSERT_TRUE(platform::ReadFile(At("Games/fwd.v2.qzm"), b));
    EXPECT_EQ(a, b);
}

}  // namespace
