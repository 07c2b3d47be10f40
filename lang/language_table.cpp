// The English and Russian text of every role. The texts are the program's own words and must stay
// exactly as they are: the English ones write "doesnt", "isnt" and "hasnt" without an apostrophe, the
// texts that a number follows end in ": ", and the Russian wording is not always a literal translation
// (the size and count messages say "by" where the English ones say "to").
#include <cstddef>
#include <iterator>
#include <string_view>

#include "lang/language.h"

namespace orv::lang {
namespace {

struct Entry {
    TextId id;
    std::string_view english;
    std::string_view russian;
};

// In TextId order; the static_asserts below keep the two in step.
constexpr Entry kEntries[] = {
    {TextId::LanguageName, "English", "Русский"},
    {TextId::LangLabel, "Interface", "Интерфейс"},
    {TextId::ControlHeading, "Control", "Контроль"},
    {TextId::SettingsHeading, "Settings", "Настройки"},
    {TextId::ObjectWord, "Object", "Объект"},
    {TextId::ActionHeading, "Action", "Действие"},
    {TextId::StartHintStopped, "Launch control", "Запустить контроль"},
    {TextId::StartHintRunning, "Stop control", "Остановить контроль"},
    {TextId::IndicatorHintStopped, "Control stopped", "Контроль остановлен"},
    {TextId::IndicatorHintRunning, "Control running", "Контроль запущен"},
    {TextId::ResetHint, "Reset all settings", "Сброс всех настроек"},
    {TextId::HelpHint, "See help file", "Показать файл помощи"},
    {TextId::WebHint, "Go to our website", "Перейти на наш сайт"},
    {TextId::MinimizeHint, "Minimize to tray", "Свернуть программу в Tray"},
    {TextId::CloseHint, "Exit the program", "Выйти из программы"},
    {TextId::ProgramPage, "Visit the program page", "Посетить страницу программы"},
    {TextId::TrayStartCaption, "Control: Start", "Контроль: Старт"},
    {TextId::TrayStartHint, "Control: Start", "Контроль: Старт"},
    {TextId::TrayStopCaption, "Control: Stop", "Контроль: Стоп"},
    {TextId::TrayStopHint, "Control: Stop", "Контроль: Стоп"},
    {TextId::TrayPause15Caption, "Pause for 15 minutes", "Приостановить на 15 минут"},
    {TextId::TrayPause60Caption, "Pause for 1 hour", "Приостановить на 1 час"},
    {TextId::HintShowCaption, "Show hints", "Показывать подсказки"},
    {TextId::HintShowHint, "Show hints", "Показывать всплывающие подсказки"},
    {TextId::AutoRunCaption, "Autorun", "Автозапуск"},
    {TextId::AutoRunHint, "Autorun program at the start of Windows",
     "Автозапуск программы при старте Windows"},
    {TextId::MinFormShowCaption, "Auto minimization", "Минимизация"},
    {TextId::MinFormShowHint, "Auto minimization program at the start",
     "Авто минимизация программы при запуске"},
    {TextId::LogOKCaption, "Write the log file if changes only", "Писать лог-файл только при изменениях"},
    {TextId::LogOKHint, "Write the log file when changes occur",
     "Писать лог-файл только при наличии изменений"},
    {TextId::LogKeepCaption, "Keep log files", "Хранить лог-файлы"},
    {TextId::LogKeepHint, "How long log files are kept: older ones are deleted",
     "Сколько хранить лог-файлы: более старые удаляются"},
    {TextId::WaitFinishedCaption, "Wait for changes to finish", "Ждать завершения изменений"},
    {TextId::WaitFinishedHint,
     "Act on a change only once it has finished: the same value in two checks in a row, and the file no "
     "longer open for writing (at the latest after 60 seconds)",
     "Реагировать на изменение только после его завершения: одно значение в двух проверках подряд, и файл "
     "больше не открыт на запись (не позже чем через 60 секунд)"},
    {TextId::PanelHint, "Settings for thread", "Настройки потока"},
    {TextId::RazrHint, "Activity of the thread", "Активность потока"},
    {TextId::TypeFieldHint, "Type of control object for the thread", "Тип объекта контроля потока"},
    {TextId::TypeButtonsHint, "Select the type of control object for the thread",
     "Выберите тип объекта контроля потока"},
    {TextId::PathFieldHint, "Path to control object of the thread", "Путь к объекту контроля потока"},
    {TextId::PathIndicatorHint, "Control object indicator for the thread",
     "Индикатор наличия объекта контроля потока"},
    {TextId::PathButtonHint, "Select the control object for the thread", "Выберите объект контроля потока"},
    {TextId::ParamFieldHint, "Control settings", "Параметр контроля"},
    {TextId::ParamButtonsHint, "Select the monitoring option", "Выберите параметр контроля"},
    {TextId::StringFieldHint, "Controlled text", "Контролируемый текст"},
    {TextId::StringIndicatorHint, "Indicator of controlled text", "Индикатор наличия контролируемого текста"},
    {TextId::ActionFieldHint, "Action if the control conditions are fulfilled for the thread",
     "Действие при выполнении условий контроля потока"},
    {TextId::ActionButtonHint, "Action setting for the thread", "Настройка действия потока"},
    {TextId::TypeFile, "File", "Файл"},
    {TextId::TypeDirectory, "Directory", "Директория"},
    {TextId::TypeApplication, "Application", "Приложение"},
    {TextId::ParamAvailability, "Availability", "Наличие"},
    {TextId::ParamSize, "Size", "Размер"},
    {TextId::ParamDate, "Date", "Дата"},
    {TextId::ParamString, "String", "Строка"},
    {TextId::ParamActivity, "Activity", "Активность"},
    {TextId::FilePresent, "This file is", "Файл есть"},
    {TextId::FileAbsent, "File doesnt exist", "Файла нет"},
    {TextId::DirectoryPresent, "This directory is", "Директория есть"},
    {TextId::DirectoryAbsent, "Directory doesnt exist", "Директории нет"},
    {TextId::ApplicationPresent, "This application is", "Приложение есть"},
    {TextId::ApplicationAbsent, "Application doesnt exist", "Приложения нет"},
    {TextId::FileAvailabilityTitle, "Control of file availability", "Контроль наличия файла"},
    {TextId::FileAppears, "File appears", "Файл появился"},
    {TextId::FileAppearsAsIs, "File appears as is", "Файл как был, так и есть"},
    {TextId::FileIsMissing, "File is missing", "Файл пропал"},
    {TextId::FileIsMissingStill, "File is missing and doesnt appear", "Файла как не было, так и нет"},
    {TextId::FileSizeTitle, "Control of file size", "Контроль размера файла"},
    {TextId::FileSizeIncreased, "File size increased to: ", "Размер файла увеличился на: "},
    {TextId::FileSizeReduced, "File size reduced to: ", "Размер файла уменьшился на: "},
    {TextId::FileSizeUnchanged, "File size hasnt changed", "Размер файла не изменился"},
    {TextId::FileMissingNoControl, "File doesnt exist, the control isnt possible",
     "Файла нет, контроль невозможен"},
    {TextId::FileDateTitle, "Control of file modification dates", "Контроль даты изменения файла"},
    {TextId::FileChanged, "File changed", "Файл изменен"},
    {TextId::FileUnchanged, "File hasnt changed", "Файл не изменен"},
    {TextId::StringTitle, "Control of the string in the file", "Контроль строки в файле"},
    {TextId::RepetitionsIncreased,
     "The number of repetitions increased to: ", "Количество повторов увеличилось на: "},
    {TextId::RepetitionsDecreased,
     "The number of repetitions decreased to: ", "Количество повторов уменьшилось на: "},
    {TextId::RepetitionsUnchanged, "The number of repetitions hasnt changed",
     "Количество повторов не изменилось"},
    {TextId::StringFileMissing, "File doesnt exist, string search isnt possible",
     "Файла нет, поиск строки невозможен"},
    {TextId::StringFileEmpty, "File is empty, string search isnt possible ",
     "Файл пуст, поиск строки невозможен"},
    {TextId::DirAvailabilityTitle, "Control of directory availability", "Контроль наличия директории"},
    {TextId::DirAppeared, "Directory appeared", "Директория появилась"},
    {TextId::DirAppearedAsIs, "Directory appeared as is", "Директория как была, так и есть"},
    {TextId::DirIsMissing, "Directory is missing", "Директория пропала"},
    {TextId::DirIsMissingStill, "Directory is missing and doesnt appear",
     "Директории как не было, так и нет"},
    {TextId::DirSizeTitle, "Control of directory size", "Контроль размера директории"},
    {TextId::DirSizeIncreased, "Directory size increased to: ", "Размер директории увеличился на: "},
    {TextId::DirSizeDecreased, "Directory size decreased to: ", "Размер директории уменьшился на: "},
    {TextId::DirSizeUnchanged, "Directory size hasnt changed", "Размер директории не изменился"},
    {TextId::DirMissingNoControl, "Directory doesnt exist, control is impossible",
     "Директории нет, контроль невозможен"},
    {TextId::DirDateTitle, "Control of directory creation dates", "Контроль даты создания директории"},
    {TextId::DirChanged, "Directory has changed", "Директория изменилась"},
    {TextId::DirUnchanged, "This directory hasnt changed", "Директория не изменилась"},
    {TextId::AppTitle, "Application activity control", "Контроль активности приложения"},
    {TextId::AppActive, "Application is active", "Приложение активно"},
    {TextId::AppStillActive, "Application is still active", "Приложение как было активно, так и есть"},
    {TextId::AppClosed, "Application closed", "Приложение закрыли"},
    {TextId::AppStillInactive, "Application still isnt active",
     "Приложение как не было активно, так и не активно"},
    {TextId::AppMissingNoControl, "Application doesnt exist, control is impossible",
     "Приложения нет, контроль невозможен"},
    {TextId::FileUnreachable, "File cannot be reached right now", "Файл сейчас недоступен"},
    {TextId::DirUnreachable, "Directory cannot be reached right now", "Директория сейчас недоступна"},
    {TextId::AppUnreachable, "Application cannot be checked right now", "Приложение сейчас не проверить"},
    {TextId::ChangeWaiting, "Waiting for the change to finish", "Ожидание завершения изменения"},
    {TextId::MoreEvents, "and %N more", "и еще %N"},
    {TextId::CommandLineHelp,
     "Command line switches:\n/start  start control as soon as the main window is shown\n/?  show this "
     "message",
     "Ключи командной строки:\n/start  запустить контроль сразу после показа главного окна\n/?  показать "
     "это сообщение"},
    {TextId::BatFileUnusableHint, "BAT-file unusable: its path has characters outside the system code page",
     "BAT-файл непригоден: в его пути есть символы вне кодовой страницы системы"},
    {TextId::PausedUntil, "Paused until", "Приостановлено до"},
    {TextId::LogKeepForever, "forever", "всегда"},
    {TextId::LogKeep1Day, "1 day", "1 день"},
    {TextId::LogKeep7Days, "7 days", "7 дней"},
    {TextId::LogKeep30Days, "30 days", "30 дней"},
    {TextId::LogKeep365Days, "365 days", "365 дней"},
    {TextId::MacrosTitle, "Macros", "Макрос"},
    {TextId::MacroNameLabel, "Macro name", "Имя Макроса"},
    {TextId::SelectedBatLabel, "Selected BAT file:", "Выбранный BAT-файл:"},
    {TextId::AvailableBatLabel, "Available BAT files:", "Доступные BAT-файлы:"},
    {TextId::CallMethodLabel, "Call method:", "Метод вызова:"},
};

static_assert(std::size(kEntries) == kTextCount, "every role needs its texts");

constexpr bool EntriesInRoleOrder() {
    for (std::size_t i = 0; i < std::size(kEntries); ++i) {
        if (static_cast<std::size_t>(kEntries[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(EntriesInRoleOrder(), "kEntries must list the roles in TextId order");

constexpr std::size_t IndexOf(TextId id) {
    return static_cast<std::size_t>(id);
}

bool IsRole(TextId id) {
    return static_cast<int>(id) >= 0 && static_cast<int>(id) < kTextCount;
}

}  // namespace

LanguageTable::LanguageTable(int32_t language) : language_(language == kRussian ? kRussian : kEnglish) {
    for (const Entry& entry : kEntries) {
        texts_[IndexOf(entry.id)] = std::string(language_ == kRussian ? entry.russian : entry.english);
    }
}

std::shared_ptr<const LanguageTable> LanguageTable::For(int32_t language) {
    // Two tables for the whole run: a switch hands out the other one, so a text once read stays valid
    // for as long as the program runs.
    static const std::shared_ptr<const LanguageTable> english(new LanguageTable(kEnglish));
    static const std::shared_ptr<const LanguageTable> russian(new LanguageTable(kRussian));
    return language == kRussian ? russian : english;
}

std::string_view LanguageTable::English(TextId id) {
    return IsRole(id) ? kEntries[IndexOf(id)].english : std::string_view();
}

std::string_view LanguageTable::Russian(TextId id) {
    return IsRole(id) ? kEntries[IndexOf(id)].russian : std::string_view();
}

}  // namespace orv::lang
