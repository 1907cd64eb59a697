#include "core/UpdatePrompt.h"

namespace core {
namespace {

// Message-box lines are separated by two carriage returns, never CR LF.
constexpr wchar_t kLineBreak[] = L"\r\r";

struct Prompt {
    std::wstring_view language;
    std::wstring_view sentences[3];
};

constexpr Prompt kPrompts[] = {
    {L"ko",
     {L"업데이트가 정보가 있습니다.", L"안정적으로 사용하기 위해 업데이트를 하시길 권장합니다.",
      L"다운로드 받으시겠습니까?"}},
    {L"ja",
     {L"このプログラムがアップデートされました。",
      L"安定的に使用するために新しくダウンロード\u00B7実行することをお勧めします。",
      L"ダウンロードしますか。"}},
    {L"zh", {L"该程序已更新。", L"建议下载并执行新程序以稳定使用。", L"您要下载吗\uFF1F"}},
    {L"de",
     {L"Dieses Programm ist aktualisiert worden.",
      L"Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu verwenden.",
      L"Möchten Sie es herunterladen?"}},
    {L"ru",
     {L"Данная программа была обновлена.",
      L"Рекомендуется скачать и выполнить новое для стабильного использования.",
      L"Вы хотите загрузить ее?"}},
    {L"it",
     {L"Questo programma è stato aggiornato.",
      L"Si raccomanda di scaricarlo ed eseguirlo per un uso stabile.", L"Volete scaricarlo?"}},
    {L"fr",
     {L"Ce programme a été mis à jour.",
      L"Il est recommandé de télécharger et d'exécuter la nouvelle version pour une "
      L"utilisation stable.",
      L"Voulez-vous le télécharger?"}},
};

constexpr Prompt kEnglish = {L"",
                             {L"This program has been updated.",
                              L"It is recommended to download and execute new for stable use.",
                              L"Do you want to download it?"}};

const Prompt& PromptFor(std::wstring_view language) {
    for (const Prompt& prompt : kPrompts)
        if (prompt.language == language)
            return prompt;
    return kEnglish;
}

} // namespace

std::wstring UpdatePromptText(std::wstring_view language) {
    const Prompt& prompt = PromptFor(language);
    std::wstring text(prompt.sentences[0]);
    for (std::size_t i = 1; i < std::size(prompt.sentences); ++i) {
        text += kLineBreak;
        text += prompt.sentences[i];
    }
    return text;
}

} // namespace core
