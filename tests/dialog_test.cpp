// The real brenvik.exe, started as its own process and driven with window
// messages the way a test without a human (or a window manager) can: fields
// set with WM_SETTEXT, buttons and keys posted, every wait bounded.
#include <windows.h>

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "dialog_driver.h"
#include "resource.h"
#include "test_folder.h"

namespace {

// The file name edit of the save dialog (edt1, or the combo box cmb13).
const int kSaveNameIds[] = {0x480, 0x47c};

std::string Text(HWND hwnd) { return WindowText(hwnd); }

void SetText(HWND hwnd, const std::string& text) { ASSERT_TRUE(SetWindowTextRemote(hwnd, text)); }

class Dialog : public TempFolderTest {
protected:
    void SetUp() override
    {
        char szExe[MAX_PATH];
        GetModuleFileNameA(NULL, szExe, sizeof(szExe));
        fs::path exe = fs::path(szExe).parent_path() / "brenvik.exe";
        // The temporary folder is on C:, which the choosers can reach (not
        // Wine's Z: drive).
        TempFolderTest::SetUp();
        ASSERT_TRUE(StartBrenvik(exe.string(), &pi_, &hDlg_)) << "the dialog of " << exe << " did not appear";
    }

    void TearDown() override
    {
        CloseBrenvik(&pi_, hDlg_);
        TempFolderTest::TearDown();
    }

    // A modal window the program opened over its dialog (a chooser, a message box).
    HWND WaitForModal(HWND hExclude = NULL)
    {
        HWND hModal = NULL;
        WaitUntil([&] { return (hModal = FindThreadDialog(pi_.dwThreadId, NULL, hDlg_, hExclude)) != NULL; });
        return hModal;
    }

    HWND Item(int id) const { return GetDlgItem(hDlg_, id); }

    // Presses Convert and returns what the count field shows afterwards.
    std::string Convert() { return PressConvert(hDlg_); }

    void Fill(const std::string& folder, const std::string& format, const std::string& output)
    {
        SetText(Item(IDC_FOLDER), folder);
        SetText(Item(IDC_FORMAT), format);
        SetText(Item(IDC_OUTPUT), output);
    }

    static void PostKey(HWND hwnd, WPARAM vk)
    {
        PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
        PostMessageA(hwnd, WM_KEYUP, vk, MAKELPARAM(1, 0xC000));  // released
    }

    void WriteLevels(int count)
    {
        for (int n = 1; n <= count; ++n)
            WriteBytes(At("screen." + std::to_string(n)), "level " + std::to_string(n) + "\n");
    }

    // Opens a chooser with its browse button; returns the chooser's window.
    HWND OpenChooser(int idButton)
    {
        PostMessageA(hDlg_, WM_COMMAND, MAKEWPARAM(idButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(idButton)));
        HWND hModal = WaitForModal();
        // The chooser shows before it has set its first selection; what is
        // sent to it before its message loop goes idle can be overridden.
        WaitForInputIdle(pi_.hProcess, kDriverTimeoutMs);
        return hModal;
    }

    static bool WaitClosed(HWND hwnd)
    {
        return WaitUntil([&] { return !IsWindow(hwnd); });
    }

    // The text of the item selected in the folder chooser's tree. The
    // structure and its text live in the program's memory, where the tree
    // view reads and writes them.
    std::string SelectedTreeItem(HWND hChooser) const
    {
        HWND hTree = FindWindowExA(hChooser, NULL, WC_TREEVIEWA, NULL);
        LRESULT item = SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        if (item == 0)
            return "";
        char* pRemote = static_cast<char*>(VirtualAllocEx(pi_.hProcess, NULL, 4096, MEM_COMMIT, PAGE_READWRITE));
        TVITEMA tvi = {};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = reinterpret_cast<HTREEITEM>(item);  // NOLINT(performance-no-int-to-ptr)
        tvi.pszText = pRemote + sizeof(tvi);
        tvi.cchTextMax = MAX_PATH;
        char szText[MAX_PATH] = "";
        WriteProcessMemory(pi_.hProcess, pRemote, &tvi, sizeof(tvi), NULL);
        SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(pRemote));
        ReadProcessMemory(pi_.hProcess, tvi.pszText, szText, sizeof(szText) - 1, NULL);
        VirtualFreeEx(pi_.hProcess, pRemote, 0, MEM_RELEASE);
        return szText;
    }

    // Selects a folder in the open folder chooser, and waits until its tree
    // shows it (the chooser may still be setting its own first selection).
    // The path must live in the program's memory for BFFM_SETSELECTIONA.
    void SelectFolder(HWND hChooser, const std::string& path, const std::string& itemText) const
    {
        void* pRemote = VirtualAllocEx(pi_.hProcess, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
        ASSERT_NE(pRemote, nullptr);
        ASSERT_TRUE(WriteProcessMemory(pi_.hProcess, pRemote, path.c_str(), path.size() + 1, NULL));
        EXPECT_TRUE(WaitUntil([&] {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(hChooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(pRemote),
                                SMTO_ABORTIFHUNG, kDriverTimeoutMs, &result);
            return SelectedTreeItem(hChooser).find(itemText) != std::string::npos;
        })) << "the chooser shows " << SelectedTreeItem(hChooser) << ", not " << itemText;
        VirtualFreeEx(pi_.hProcess, pRemote, 0, MEM_RELEASE);
    }

    void ChooseFolder(const std::string& path, const std::string& itemText)
    {
        HWND hChooser = OpenChooser(IDC_BROWSE_FOLDER);
        ASSERT_NE(hChooser, nullptr) << "no folder chooser";
        SelectFolder(hChooser, path, itemText);
        PostMessageA(hChooser, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitClosed(hChooser));
    }

    // Types a name into the open save dialog and presses Save.
    static void TypeSaveName(HWND hSave, const std::string& name)
    {
        HWND hName = NULL;
        for (int id : kSaveNameIds)
            if (hName == NULL)
                hName = GetDlgItem(hSave, id);
        ASSERT_NE(hName, nullptr) << "no file name field in the save dialog";
        SetText(hName, name);
        PostMessageA(hSave, WM_COMMAND, IDOK, 0);
    }

    // Saves under a name; returns what the output field shows afterwards.
    std::string SaveAs(const std::string& name)
    {
        HWND hSave = OpenChooser(IDC_BROWSE_OUTPUT);
        EXPECT_NE(hSave, nullptr) << "no save dialog";
        if (hSave == NULL)
            return "<no dialog>";
        TypeSaveName(hSave, name);
        EXPECT_TRUE(WaitClosed(hSave));
        return Text(Item(IDC_OUTPUT));
    }

    PROCESS_INFORMATION pi_ = {};
    HWND hDlg_ = NULL;
};

TEST_F(Dialog, StartsWithTheDefaultFormatAndEmptyFields)
{
    EXPECT_EQ(Text(Item(IDC_FORMAT)), "screen.%d");
    EXPECT_EQ(Text(Item(IDC_FOLDER)), "");
    EXPECT_EQ(Text(Item(IDC_OUTPUT)), "");
    EXPECT_EQ(Text(Item(IDC_COUNT)), "");

    // The count can be selected and copied but not edited.
    LONG style = GetWindowLongA(Item(IDC_COUNT), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_RIGHT);
    EXPECT_TRUE(style & WS_TABSTOP);
}

TEST_F(Dialog, ConvertShowsTheCountAndWritesTheCollection)
{
    WriteLevels(5);
    fs::path out = dir_ / "set.xsb";
    Fill(dir_.string(), "screen.%d", out.string());
    EXPECT_EQ(Convert(), "5");
    EXPECT_EQ(ReadBytes(out),
              "level 1\r\n\r\nlevel 2\r\n\r\nlevel 3\r\n\r\nlevel 4\r\n\r\nlevel 5\r\n\r\n");
    // Paths pasted from Explorer's "Copy as path" come in double quotes.
    Fill("\"" + dir_.string() + "\"", "screen.%d", "\"" + out.string() + "\"");
    EXPECT_EQ(Convert(), "5");

    SetText(Item(IDC_FOLDER), "");
    EXPECT_EQ(Convert(), "ERROR ");
    // Spaces are text like any other: a folder of spaces is not empty, and
    // no such folder exists.
    SetText(Item(IDC_FOLDER), "   ");
    EXPECT_EQ(Convert(), "ERROR ");
    EXPECT_EQ(ReadBytes(out).size(), 5 * strlen("level 1\r\n\r\n"));
}

TEST_F(Dialog, EnterInAnEditFieldConvertsAndEscapeDoesNotClose)
{
    WriteLevels(2);
    Fill(dir_.string(), "screen.%d", (dir_ / "set.xsb").string());
    for (int id : {IDC_FOLDER, IDC_FORMAT, IDC_OUTPUT}) {
        SetText(Item(IDC_COUNT), "");
        PostKey(Item(id), VK_ESCAPE);
        PostKey(Item(id), VK_RETURN);
        // Keys are handled in order: once Enter has converted, Escape was seen.
        EXPECT_TRUE(WaitUntil([&] { return Text(Item(IDC_COUNT)) == "2"; })) << id;
        EXPECT_TRUE(IsWindow(hDlg_));
    }
    EXPECT_EQ(WaitForSingleObject(pi_.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(Dialog, ClosingEndsTheProcessWithExitCodeZero)
{
    PostMessageA(hDlg_, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(pi_.hProcess, kDriverTimeoutMs), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(pi_.hProcess, &code);
    EXPECT_EQ(code, 0U);
}

TEST_F(Dialog, OverlongFieldTextsAreCutToTheirBuffers)
{
    WriteLevels(1);
    // An output path of exactly 259 characters, then 41 more in the field.
    std::string out = (dir_ / "").string();
    out += std::string(MAX_PATH - 1 - out.size() - 4, 'o') + ".xsb";
    ASSERT_EQ(out.size(), size_t{MAX_PATH - 1});
    Fill(dir_.string(), "screen.%d", out + std::string(41, 'x'));
    EXPECT_EQ(Convert(), "1");
    EXPECT_EQ(ReadBytes(out), "level 1\r\n\r\n");

    // A 300-character folder is read as 259 characters: no such folder, and
    // the dialog lives on.
    SetText(Item(IDC_FOLDER), dir_.string() + "\\" + std::string(300, 'f'));
    EXPECT_EQ(Convert(), "ERROR ");
    EXPECT_EQ(Convert(), "ERROR ");
}

TEST_F(Dialog, FolderChooserStartsOnTheLastFolderAndTrimsADriveRoot)
{
    fs::path levels = dir_ / "levels";
    fs::create_directories(levels);
    ChooseFolder(levels.string(), "levels");
    EXPECT_EQ(Text(Item(IDC_FOLDER)), levels.string());

    // Typed text is not seen by the chooser; it starts on the folder chosen
    // last, so pressing OK at once gives that folder again.
    SetText(Item(IDC_FOLDER), "typed by hand");
    HWND hChooser = OpenChooser(IDC_BROWSE_FOLDER);
    ASSERT_NE(hChooser, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return SelectedTreeItem(hChooser) == "levels"; }));
    PostMessageA(hChooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitClosed(hChooser));
    EXPECT_EQ(Text(Item(IDC_FOLDER)), levels.string());

    // Cancelling leaves the field alone.
    SetText(Item(IDC_FOLDER), "typed by hand");
    hChooser = OpenChooser(IDC_BROWSE_FOLDER);
    ASSERT_NE(hChooser, nullptr);
    PostMessageA(hChooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitClosed(hChooser));
    EXPECT_EQ(Text(Item(IDC_FOLDER)), "typed by hand");

    ChooseFolder("C:\\", "C:");
    EXPECT_EQ(Text(Item(IDC_FOLDER)), "C:");
}

TEST_F(Dialog, FolderChooserNeverShowsAVirtualFolderAsAPath)
{
    fs::path levels = dir_ / "levels";
    fs::create_directories(levels);
    ChooseFolder(levels.string(), "levels");
    ASSERT_EQ(Text(Item(IDC_FOLDER)), levels.string());

    // "My Computer" has a display name but no file system path.
    LPITEMIDLIST pidl = NULL;
    ASSERT_EQ(SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &pidl), S_OK);
    UINT cb = ILGetSize(pidl);
    HWND hChooser = OpenChooser(IDC_BROWSE_FOLDER);
    ASSERT_NE(hChooser, nullptr);
    void* pRemote = VirtualAllocEx(pi_.hProcess, NULL, cb, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(pRemote, nullptr);
    WriteProcessMemory(pi_.hProcess, pRemote, pidl, cb, NULL);
    CoTaskMemFree(pidl);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hChooser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(pRemote),
                        SMTO_ABORTIFHUNG, kDriverTimeoutMs, &result);
    PostMessageA(hChooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitClosed(hChooser));
    EXPECT_EQ(Text(Item(IDC_FOLDER)), levels.string());

    // The folder chosen before is still where the chooser starts.
    hChooser = OpenChooser(IDC_BROWSE_FOLDER);
    ASSERT_NE(hChooser, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return SelectedTreeItem(hChooser) == "levels"; }));
    PostMessageA(hChooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitClosed(hChooser));
    EXPECT_EQ(Text(Item(IDC_FOLDER)), levels.string());
}

TEST_F(Dialog, SaveDialogAddsTheCollectionExtensionOnlyToANameWithoutOne)
{
    fs::create_directories(dir_ / "my.dir");
    std::string base = dir_.string() + "\\";
    EXPECT_EQ(SaveAs(base + "set1"), base + "set1.xsb");
    EXPECT_EQ(SaveAs(base + "set1.txt"), base + "set1.txt");
    EXPECT_EQ(SaveAs(base + "my.dir\\set1"), base + "my.dir\\set1.xsb");
    EXPECT_EQ(SaveAs(base + "set2."), base + "set2.");

    // No room left for the extension in 260 bytes: kept as chosen.
    std::string longName = base + std::string(256 - base.size(), 'n');
    ASSERT_EQ(longName.size(), 256U);
    EXPECT_EQ(SaveAs(longName), longName);
    std::string roomy = base + std::string(255 - base.size(), 'n');
    EXPECT_EQ(SaveAs(roomy), roomy + ".xsb");

    // Cancelling leaves the field alone.
    SetText(Item(IDC_OUTPUT), "typed by hand");
    HWND hSave = OpenChooser(IDC_BROWSE_OUTPUT);
    ASSERT_NE(hSave, nullptr);
    PostMessageA(hSave, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitClosed(hSave));
    EXPECT_EQ(Text(Item(IDC_OUTPUT)), "typed by hand");

    // A name typed into the field is used as typed: no extension added.
    WriteLevels(1);
    Fill(dir_.string(), "screen.%d", base + "typed");
    EXPECT_EQ(Convert(), "1");
    EXPECT_TRUE(fs::exists(base + "typed"));
}

TEST_F(Dialog, SaveDialogAsksBeforeOverwritingAnExistingFile)
{
    std::string existing = dir_.string() + "\\exists.xsb";
    WriteBytes(existing, "keep");
    SetText(Item(IDC_OUTPUT), "typed by hand");

    // No: the save dialog stays open; cancel it, nothing changed.
    HWND hSave = OpenChooser(IDC_BROWSE_OUTPUT);
    ASSERT_NE(hSave, nullptr);
    TypeSaveName(hSave, existing);
    HWND hAsk = WaitForModal(hSave);
    ASSERT_NE(hAsk, nullptr) << "no overwrite question";
    PostMessageA(hAsk, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitClosed(hAsk));
    EXPECT_TRUE(IsWindow(hSave));
    PostMessageA(hSave, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitClosed(hSave));
    EXPECT_EQ(Text(Item(IDC_OUTPUT)), "typed by hand");

    // Yes: the name is taken; the file itself is only written by Convert.
    hSave = OpenChooser(IDC_BROWSE_OUTPUT);
    ASSERT_NE(hSave, nullptr);
    TypeSaveName(hSave, existing);
    hAsk = WaitForModal(hSave);
    ASSERT_NE(hAsk, nullptr) << "no overwrite question";
    PostMessageA(hAsk, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitClosed(hSave));
    EXPECT_EQ(Text(Item(IDC_OUTPUT)), existing);
    EXPECT_EQ(ReadBytes(existing), "keep");
}

}  // namespace
