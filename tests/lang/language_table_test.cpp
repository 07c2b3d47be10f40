#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/language.h"

namespace orv::lang {
namespace {

TextId Role(int index) {
    return static_cast<TextId>(index);
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

// Cyrillic letters are U+0400..U+04FF: lead byte 0xD0 to 0xD3 in UTF-8.
bool HasCyrillic(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0xD0 && c <= 0xD3) {
            return true;
        }
    }
    return false;
}

TEST(LanguageTableTest, BothLanguagesHaveATextForEveryRole) {
    const auto english = LanguageTable::For(kEnglish);
    const auto russian = LanguageTable::For(kRussian);
    for (int i = 0; i < kTextCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(english->Text(Role(i)).empty());
        EXPECT_FALSE(russian->Text(Role(i)).empty());
        EXPECT_EQ(english->Text(Role(i)), LanguageTable::English(Role(i)));
        EXPECT_EQ(russian->Text(Role(i)), LanguageTable::Russian(Role(i)));
        // A swapped or misplaced column shows here: English is plain ASCII, Russian has Cyrillic.
        EXPECT_TRUE(IsAscii(english->Text(Role(i)))) << english->Text(Role(i));
        EXPECT_TRUE(HasCyrillic(russian->Text(Role(i)))) << russian->Text(Role(i));
    }
}

TEST(LanguageTableTest, TablesKnowTheirLanguageAndOtherValuesGiveEnglish) {
    EXPECT_EQ(LanguageTable::For(kEnglish)->Language(), kEnglish);
    EXPECT_EQ(LanguageTable::For(kRussian)->Language(), kRussian);
    for (int32_t damaged : {2, 7, -1, INT32_MIN, INT32_MAX}) {
        const auto table = LanguageTable::For(damaged);
        EXPECT_EQ(table->Language(), kEnglish) << damaged;
        EXPECT_EQ(table->Text(TextId::LanguageName), "English") << damaged;
    }
}

TEST(LanguageTableTest, RoleOutsideTheTableReadsEmpty) {
    EXPECT_EQ(LanguageTable::For(kEnglish)->Text(TextId::Count), "");
    EXPECT_EQ(LanguageTable::For(kRussian)->Text(static_cast<TextId>(-1)), "");
    EXPECT_EQ(LanguageTable::English(TextId::Count), "");
    EXPECT_EQ(LanguageTable::Russian(TextId::Count), "");
}

// Texts the program shows letter for letter; null where the row pins one language only.
struct Pinned {
    TextId id;
    const char* english;
    const char* russian;
};

const Pinned kPinned[] = {
    {TextId::LanguageName, "English", "Русский"},
    {TextId::TypeFile, nullptr, "Файл"},
    {TextId::TypeDirectory, nullptr, "Директория"},
    {TextId::ParamAvailability, "Availability", "Наличие"},
    {TextId::ApplicationAbsent, nullptr, "Приложения нет"},
    {TextId::MacroNameLabel, nullptr, "Имя Макроса"},
    // English writes no apostrophes.
    {TextId::FileAbsent, "File doesnt exist", nullptr},
    {TextId::FileMissingNoControl, "File doesnt exist, the control isnt possible", nullptr},
    {TextId::DirUnchanged, "This directory hasnt changed", nullptr},
    {TextId::AppStillInactive, "Application still isnt active",
     "Приложение как не было активно, так и не активно"},
    // Where a number follows, the Russian messages say "by" where the English ones say "to".
    {TextId::FileSizeIncreased, "File size increased to: ", "Размер файла увеличился на: "},
    {TextId::FileSizeReduced, "File size reduced to: ", "Размер файла уменьшился на: "},
    {TextId::DirSizeDecreased, "Directory size decreased to: ", "Размер директории уменьшился на: "},
    {TextId::RepetitionsIncreased,
     "The number of repetitions increased to: ", "Количество повторов увеличилось на: "},
    // Russian keeps its own wording: the show-hints option has one English text and two Russian ones.
    {TextId::ParamFieldHint, "Control settings", "Параметр контроля"},
    {TextId::HintShowCaption, "Show hints", "Показывать подсказки"},
    {TextId::HintShowHint, "Show hints", "Показывать всплывающие подсказки"},
    {TextId::MinimizeHint, nullptr, "Свернуть программу в Tray"},
    {TextId::MacrosTitle, nullptr, "Макрос"},
};

TEST(LanguageTableTest, PinnedTextsInBothLanguages) {
    for (const Pinned& pinned : kPinned) {
        SCOPED_TRACE(static_cast<int>(pinned.id));
        if (pinned.english) {
            EXPECT_EQ(LanguageTable::English(pinned.id), pinned.english);
        }
        if (pinned.russian) {
            EXPECT_EQ(LanguageTable::Russian(pinned.id), pinned.russian);
        }
    }
}

TEST(LanguageTableTest, EnglishWritesNoApostrophes) {
    for (int i = 0; i < kTextCount; ++i) {
        EXPECT_EQ(LanguageTable::English(Role(i)).find('\''), std::string::npos)
            << LanguageTable::English(Role(i));
    }
}

TEST(LanguageTableTest, EmptyFileMessageHasItsTrailingBlankInEnglishOnly) {
    EXPECT_EQ(LanguageTable::English(TextId::StringFileEmpty), "File is empty, string search isnt possible ");
    EXPECT_EQ(LanguageTable::Russian(TextId::StringFileEmpty), "Файл пуст, поиск строки невозможен");
    // No other text ends in a blank except those a number follows.
    for (int i = 0; i < kTextCount; ++i) {
        for (std::string_view text : {LanguageTable::English(Role(i)), LanguageTable::Russian(Role(i))}) {
            if (text.ends_with(' ') && !text.ends_with(": ")) {
                EXPECT_EQ(Role(i), TextId::StringFileEmpty) << text;
            }
        }
    }
}

TEST(LanguageTableTest, MessagesFollowedByANumberEndInColonAndBlankInBothLanguages) {
    const TextId numbered[] = {TextId::FileSizeIncreased,    TextId::FileSizeReduced,
                               TextId::RepetitionsIncreased, TextId::RepetitionsDecreased,
                               TextId::DirSizeIncreased,     TextId::DirSizeDecreased};
    for (TextId id : numbered) {
        EXPECT_TRUE(LanguageTable::English(id).ends_with(": ")) << LanguageTable::English(id);
        EXPECT_TRUE(LanguageTable::Russian(id).ends_with(": ")) << LanguageTable::Russian(id);
    }
}

}  // namespace
}  // namespace orv::lang
