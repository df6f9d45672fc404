// Reads the texts of ZSRES.DLL through the real LoadStringW and LoadStringA under Wine, as setup.exe does:
// texts of every language block with their non-ASCII characters, as UTF-16 and as code page 1252 bytes (the
// ANSI code page the bytes reach setup.exe in), the English block repeated as block 9, IDs between the blocks
// absent, and the one export.

#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "reslib/hook_name.h"
#include "reslib/resource_ids.h"

namespace {

struct BlockText {
    UINT id;
    const wchar_t* text;
};

// At least one text of each of the seventeen blocks (block k holds the IDs 100k+1 .. 100k+13), chosen for
// their non-ASCII characters where the language has any, and for line breaks and a trailing blank.
constexpr BlockText kBlockTexts[] = {
    {103, L"Usage: Setup or Setup /A\nSetup /A runs setup in the Administrator mode."},
    {202, L"Initialisierung des Setup\u00b4s. Bitte warten..."},
    {213, L"Land w\u00e4hlen"},
    {302, L"A Telep\u00edt\u00f5 inicializ\u00e1l\u00e1sa. K\u00e9rj\u00fck, v\u00e1rjon..."},
    {407, L"Il file SETUP.LST \u00e8 corrotto."},
    {510, L"Velg spr\u00e5k"},
    {601, L"Configura\u00e7\u00e3o"},
    {709, L"Kan ej skapa tempor\u00e4rt bibliotek f\u00f6r installationen."},
    {804, L"Imposs\u00edvel encontrar o arquivo de inicializa\u00e7\u00e3o:\n%1"},
    {902, L"Initializing Setup. Please wait..."},
    {1010, L"S\u00e9lectionner la langue"},
    {1102, L"Kur ba\u00felat\u00fdl\u00fdyor. Bekleyin..."},
    {1202, L"Inicijaliziram instalaciju. Pri\u00e8ekajte, molim..."},
    {1311, L"Setup Taal"},
    {1406,
     L"Ajuste necesita cerca de %1 KB espacio libre para initializar.\nPor favor libere alg\u00fan espacio "
     L"en la "
     L"unidad C:."},
    {1510, L"Zvolte jazyk "},
    {1513, L"Vyber um\u00edsten\u00ed"},
    {1603, L"Wywolanie: Setup lub Setup /A\nSetup /A wykonanie instalacji przez administratora."},
    {1703, L"Lansare: Setup sau Setup /A\n Setup /A lanseaza instalarea \u00een mod Administrator."},
};

// Code page 1252 agrees with Latin-1 on every character above: each is one byte with the character's value.
std::string Cp1252(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) {
        EXPECT_TRUE(c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            << "not a Latin-1 character: " << static_cast<int>(c);
        bytes += static_cast<char>(c);
    }
    return bytes;
}

class ResourceLibraryStrings : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char path[MAX_PATH] = {};
        std::string directory(path, GetModuleFileNameA(nullptr, path, sizeof path));
        directory.erase(directory.find_last_of('\\') + 1);
        library_ = LoadLibraryA((directory + "ZSRES.DLL").c_str());
    }
    static void TearDownTestSuite() {
        if (library_ != nullptr) FreeLibrary(library_);
        library_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(library_, nullptr) << "ZSRES.DLL not loaded from beside the test"; }

    // The text and its length as LoadStringW reports it; an absent string reads as length 0.
    static std::wstring Wide(UINT id, int* length = nullptr) {
        wchar_t buffer[512] = {};
        int copied = LoadStringW(library_, id, buffer, static_cast<int>(std::size(buffer)));
        if (length != nullptr) *length = copied;
        return std::wstring(buffer, copied > 0 ? copied : 0);
    }
    static std::string Ansi(UINT id, int* length = nullptr) {
        char buffer[512] = {};
        int copied = LoadStringA(library_, id, buffer, static_cast<int>(sizeof buffer));
        if (length != nullptr) *length = copied;
        return std::string(buffer, copied > 0 ? copied : 0);
    }

    static HMODULE library_;
};

HMODULE ResourceLibraryStrings::library_ = nullptr;

TEST_F(ResourceLibraryStrings, EveryBlockHoldsItsTextsAsUtf16) {
    int block = 0;
    for (const BlockText& expected : kBlockTexts) {
        SCOPED_TRACE("string " + std::to_string(expected.id));
        int length = 0;
        EXPECT_EQ(Wide(expected.id, &length), expected.text);
        EXPECT_EQ(length, static_cast<int>(std::wstring(expected.text).size()));
        EXPECT_GE(IDS_BLOCK_OF(static_cast<int>(expected.id)), block);
        block = IDS_BLOCK_OF(static_cast<int>(expected.id));
    }
    EXPECT_EQ(block, IDS_BLOCK_LAST);
}

TEST_F(ResourceLibraryStrings, EveryBlockReachesAnsiProgramsAsCodePage1252) {
    ASSERT_EQ(GetACP(), 1252u);
    for (const BlockText& expected : kBlockTexts) {
        SCOPED_TRACE("string " + std::to_string(expected.id));
        EXPECT_EQ(Ansi(expected.id), Cp1252(expected.text));
    }
}

TEST_F(ResourceLibraryStrings, Block9RepeatsTheEnglishBlock) {
    EXPECT_EQ(Wide(905), L"Could not decompress required initialization file:\n%1");
    EXPECT_EQ(Ansi(905), Ansi(105));
    for (int offset = IDS_SETUP_WORD; offset <= IDS_SELECT_LOCATION; ++offset) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        EXPECT_EQ(Wide(IDS_BLOCK_BASE(9) + offset), Wide(IDS_ENGLISH_BASE + offset));
        EXPECT_FALSE(Wide(IDS_BLOCK_BASE(9) + offset).empty());
    }
}

TEST_F(ResourceLibraryStrings, IdsBetweenTheBlocksDoNotExist) {
    for (UINT id : {14u, 114u, 1714u}) {
        SCOPED_TRACE("string " + std::to_string(id));
        int length = -1;
        EXPECT_EQ(Wide(id, &length), L"");
        EXPECT_EQ(length, 0);
        EXPECT_EQ(Ansi(id, &length), "");
        EXPECT_EQ(length, 0);
    }
}

TEST_F(ResourceLibraryStrings, GetHookNameReturnsTheEmptyText) {
    FARPROC export_ = GetProcAddress(library_, zs::reslib::kGetHookNameExport);
    ASSERT_NE(export_, nullptr);
    auto getHookName =
        reinterpret_cast<zs::reslib::GetHookNameFunction>(reinterpret_cast<void (*)()>(export_));
    const char* hook = getHookName();
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(hook[0], '\0');
    EXPECT_EQ(getHookName(), hook);
}

}  // namespace
