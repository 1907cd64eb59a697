#include "core/LauncherText.h"

#include <initializer_list>

namespace core {
namespace {

namespace key = launcher_text;

constexpr std::uint32_t kGerman = 1031;   // Germany
constexpr std::uint32_t kFrench = 1036;   // France
constexpr std::uint32_t kItalian = 1040;  // Italy
constexpr std::uint32_t kJapanese = 1041; // Japan
constexpr std::uint32_t kKorean = 1042;   // Korea
constexpr std::uint32_t kRussian = 1049;  // Russia
constexpr std::uint32_t kChinese = 2052;  // PRC

struct Translation {
    std::uint32_t lcid;
    std::wstring_view text;
};

struct Entry {
    std::wstring_view key;
    std::initializer_list<Translation> translations;
};

// In lookup order. The Japanese and Chinese sentences end in U+3002 (the
// Chinese question in U+FF1F); the Japanese recommendation has U+00B7.
const Entry kCatalogue[] = {
    {key::kProductName, {{kKorean, L"미르벡스"}}},
    {key::kAbout, {{kJapanese, L"約"}, {kKorean, L"만든이 노르발레"}, {kChinese, L"对于"}}},
    {key::kQuit, {{kJapanese, L"終了"}, {kKorean, L"종료하기"}, {kChinese, L"结束"}}},
    {key::kConfigurationInvalid,
     {{kGerman, L"Die Anwendungskonfigurationsdatei ist ungültig."},
      {kFrench, L"Le fichier de configuration de l'application n'est pas valide."},
      {kItalian, L"Il file di configurazione dell'applicazione non è valido."},
      {kJapanese, L"アプリケーションの設定ファイルが無効です\u3002"},
      {kKorean, L"응용 프로그램 구성 파일이 잘못되었습니다."},
      {kRussian, L"Конфигурационный файл приложения недействителен."},
      {kChinese, L"应用程序配置文件无效\u3002"}}},
    {key::kReinstall,
     {{kGerman, L"Bitte neu installieren und ausführen."},
      {kFrench, L"Veuillez réinstaller et exécuter."},
      {kItalian, L"Si prega di reinstallare ed eseguire."},
      {kJapanese, L"再インストールして実行してください\u3002"},
      {kKorean, L"다시 설치 후 실행해 주십시오."},
      {kRussian, L"Пожалуйста, переустановите и запустите."},
      {kChinese, L"请重新安装并运行\u3002"}}},
    {key::kUpdated,
     {{kGerman, L"Dieses Programm ist aktualisiert worden."},
      {kFrench, L"Ce programme a été mis à jour."},
      {kItalian, L"Questo programma è stato aggiornato."},
      {kJapanese, L"このプログラムがアップデートされました\u3002"},
      {kKorean, L"업데이트가 정보가 있습니다."},
      {kRussian, L"Данная программа была обновлена."},
      {kChinese, L"该程序已更新\u3002"}}},
    {key::kRecommended,
     {{kGerman, L"Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu "
                L"verwenden."},
      {kFrench, L"Il est recommandé de télécharger et d'exécuter la nouvelle version pour une "
                L"utilisation stable."},
      {kItalian, L"Si raccomanda di scaricarlo ed eseguirlo per un uso stabile."},
      {kJapanese,
       L"安定的に使用するために新しくダウンロード\u00B7実行することをお勧めします\u3002"},
      {kKorean, L"안정적으로 사용하기 위해 업데이트를 하시길 권장합니다."},
      {kRussian, L"Рекомендуется скачать и выполнить новое для стабильного использования."},
      {kChinese, L"建议下载并执行新程序以稳定使用\u3002"}}},
    {key::kAskDownload,
     {{kGerman, L"Möchten Sie es herunterladen?"},
      {kFrench, L"Voulez-vous le télécharger?"},
      {kItalian, L"Volete scaricarlo?"},
      {kJapanese, L"ダウンロードしますか\u3002"},
      {kKorean, L"다운로드 받으시겠습니까?"},
      {kRussian, L"Вы хотите загрузить ее?"},
      {kChinese, L"您要下载吗\uFF1F"}}},
};

} // namespace

std::wstring LauncherText(std::wstring_view key, std::uint32_t lcid) {
    for (const Entry& entry : kCatalogue) {
        if (entry.key != key)
            continue;
        for (const Translation& translation : entry.translations)
            if (translation.lcid == lcid)
                return std::wstring(translation.text);
        break;
    }
    return std::wstring(key);
}

} // namespace core
