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

TEST(LanguageTableTest, LanguageNamesAndTypeNames) {
    const auto english = LanguageTable::For(kEnglish);
    const auto russian = LanguageTable::For(kRussian);
    EXPECT_EQ(english->Text(TextId::LanguageName), "English");
    EXPECT_EQ(russian->Text(TextId::LanguageName), "Русский");
    EXPECT_EQ(russian->Text(TextId::TypeFile), "Файл");
    EXPECT_EQ(russian->Text(TextId::TypeDirectory), "Директория");
    EXPECT_EQ(english->Text(TextId::ParamAvailability), "Availability");
    EXPECT_EQ(russian->Text(TextId::ParamAvailability), "Наличие");
    EXPECT_EQ(russian->Text(TextId::ApplicationAbsent), "Приложения нет");
    EXPECT_EQ(russian->Text(TextId::MacroNameLabel), "Имя Макроса");
}

TEST(LanguageTableTest, EnglishWritesNoApostrophes) {
    const auto english = LanguageTable::For(kEnglish);
    for (int i = 0; i < kTextCount; ++i) {
        EXPECT_EQ(english->Text(Role(i)).find('\''), std::string::npos) << english->Text(Role(i));
    }
    EXPECT_EQ(english->Text(TextId::FileAbsent), "File doesnt exist");
    EXPECT_EQ(english->Text(TextId::FileMissingNoControl), "File doesnt exist, the control isnt possible");
    EXPECT_EQ(english->Text(TextId::DirUnchanged), "This directory hasnt changed");
    EXPECT_EQ(english->Text(TextId::AppStillInactive), "Application still isnt active");
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
    // The Russian messages say "by" where the English ones say "to".
    EXPECT_EQ(LanguageTable::English(TextId::FileSizeIncreased), "File size increased to: ");
    EXPECT_EQ(LanguageTable::Russian(TextId::FileSizeIncreased), "Размер файла увеличился на: ");
    EXPECT_EQ(LanguageTable::English(TextId::FileSizeReduced), "File size reduced to: ");
    EXPECT_EQ(LanguageTable::Russian(TextId::FileSizeReduced), "Размер файла уменьшился на: ");
    EXPECT_EQ(LanguageTable::English(TextId::DirSizeDecreased), "Directory size decreased to: ");
    EXPECT_EQ(LanguageTable::Russian(TextId::DirSizeDecreased), "Размер директории уменьшился на: ");
    EXPECT_EQ(LanguageTable::English(TextId::RepetitionsIncreased),
              "The number of repetitions increased to: ");
    EXPECT_EQ(LanguageTable::Russian(TextId::RepetitionsIncreased), "Количество повторов увеличилось на: ");
}

TEST(LanguageTableTest, RussianKeepsItsOwnWording) {
    EXPECT_EQ(LanguageTable::English(TextId::ParamFieldHint), "Control settings");
    EXPECT_EQ(LanguageTable::Russian(TextId::ParamFieldHint), "Параметр контроля");
    // The show-hints option: one English text, two Russian ones.
    EXPECT_EQ(LanguageTable::English(TextId::HintShowCaption), "Show hints");
    EXPECT_EQ(LanguageTable::English(TextId::HintShowHint), "Show hints");
    EXPECT_EQ(LanguageTable::Russian(TextId::HintShowCaption), "Показывать подсказки");
    EXPECT_EQ(LanguageTable::Russian(TextId::HintShowHint), "Показывать всплывающие подсказки");
    EXPECT_EQ(LanguageTable::Russian(TextId::MinimizeHint), "Свернуть программу в Tray");
    EXPECT_EQ(LanguageTable::Russian(TextId::AppStillInactive),
              "Приложение как не было активно, так и не активно");
    EXPECT_EQ(LanguageTable::Russian(TextId::MacrosTitle), "Макрос");
}

}  // namespace
}  // namespace orv::lang
