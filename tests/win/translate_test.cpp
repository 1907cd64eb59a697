// The embedded translation catalogue and the translation of texts, controls
// and whole windows.
#include "Fixtures.h"

#include "common/Translate.h"
#include "core/Catalogue.h"
#include "ui/Label.h"
#include "ui/Panel.h"

#include <commctrl.h>

namespace {

using wintest::LanguageScope;
using wintest::MainWindow;
using wintest::SetLanguage;

constexpr std::size_t kCatalogueLines = 96;
constexpr std::size_t kBlockLines = 4; // ko, ja, en, empty

std::vector<std::wstring> HeaderTexts(const ui::TListView& list) {
    std::vector<std::wstring> texts;
    for (int column = 0; column < list.ColumnCount(); ++column) {
        wchar_t buffer[64] = {};
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_TEXT;
        lvc.pszText = buffer;
        lvc.cchTextMax = 64;
        ListView_GetColumn(list.Handle(), column, &lvc);
        texts.emplace_back(buffer);
    }
    return texts;
}

std::wstring MenuText(const ui::TPopupMenu& menu, UINT id) {
    wchar_t buffer[64] = {};
    GetMenuStringW(menu.Handle(), id, buffer, 64, MF_BYCOMMAND);
    return buffer;
}

TEST(TranslationCatalogue, ResourceLoadsAsBlocksOfThreeLanguages) {
    const auto& lines = Orv::TranslationCatalogue().Lines();
    ASSERT_EQ(lines.size(), kCatalogueLines);
    // The byte-order mark and the CR LF breaks are not part of any line.
    EXPECT_EQ(lines.front(), L"ko=미르벡스");
    const std::wstring names[] = {L"ko", L"ja", L"en"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        if (i % kBlockLines == kBlockLines - 1) {
            EXPECT_EQ(lines[i], L"");
        } else {
            EXPECT_EQ(core::LineName(lines[i]), names[i % kBlockLines]);
            EXPECT_FALSE(core::LineValue(lines[i]).empty());
            EXPECT_EQ(lines[i].find_first_of(L"\r\n\xFEFF"), std::wstring::npos);
        }
    }
}

struct TranslateCase {
    const wchar_t* language;
    const wchar_t* source;
    const wchar_t* expected;
};

class TranslateText : public testing::TestWithParam<TranslateCase> {};

TEST_P(TranslateText, GivesTheCurrentLanguagesText) {
    const LanguageScope restore;
    const auto& param = GetParam();
    SetLanguage(param.language);
    EXPECT_EQ(Orv::CurrentLanguage(), param.language);
    EXPECT_EQ(Orv::Translate(param.source), param.expected);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, TranslateText,
                         testing::Values(TranslateCase{L"en", L"대기중입니다.", L"Waiting"},
                                         TranslateCase{L"ko", L"Waiting", L"대기중입니다."},
                                         TranslateCase{L"en", L"待機中です", L"Waiting"},
                                         TranslateCase{L"ja", L"Use Record", L"レコード使用"},
                                         TranslateCase{L"en", L"딜레이 시간이 설정되지 않았습니다.",
                                                       L"Delay time is not set."},
                                         // Not in the catalogue: unchanged in every language.
                                         TranslateCase{L"ko", L"삭제", L"삭제"},
                                         TranslateCase{L"ja", L"삭제", L"삭제"},
                                         TranslateCase{L"en", L"삭제", L"삭제"},
                                         // Case matters.
                                         TranslateCase{L"ko", L"waiting", L"waiting"},
                                         // No language: every text comes back as it is.
                                         TranslateCase{L"", L"대기중입니다.", L"대기중입니다."},
                                         // A language the catalogue lacks keeps the source.
                                         TranslateCase{L"de", L"휠", L"휠"}));

class TranslateCombo : public testing::TestWithParam<int> {};

TEST_P(TranslateCombo, TranslatesEveryItemAndKeepsTheSelection) {
    const LanguageScope restore;
    MainWindow window(false);
    window->InputMouse.SetItemIndex(GetParam());
    Orv::TranslateControl(window->InputMouse, L"en");
    EXPECT_EQ(Orv::CurrentLanguage(), L"en");
    EXPECT_EQ(window->InputMouse.Items(), (std::vector<std::wstring>{L"Left", L"Right", L"Wheel"}));
    EXPECT_EQ(window->InputMouse.ItemIndex(), GetParam());
    Orv::TranslateControl(window->InputMouse, L"ja");
    EXPECT_EQ(window->InputMouse.Items(), (std::vector<std::wstring>{L"左", L"右", L"ホイール"}));
    EXPECT_EQ(window->InputMouse.ItemIndex(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Selections, TranslateCombo, testing::Values(-1, 0, 1, 2));

TEST(TranslateControl, ListViewRowsAreTranslatedButNotItsHeaders) {
    const LanguageScope restore;
    MainWindow window(false);
    auto& list = window->ListArea;
    list.AddRow({L"1x2", L"왼쪽", L"더블", L"00:00:01.00"});
    list.AddRow({L"3x4", L"휠", L"싱글", L"00:00:00.50"});
    list.AddRow({L"5x6", L"오른쪽", L"?", L"00:01:00.00"});
    list.Select(1);
    Orv::TranslateControl(list, L"en");
    EXPECT_EQ(list.Row(0), (std::vector<std::wstring>{L"1x2", L"Left", L"Double", L"00:00:01.00"}));
    EXPECT_EQ(list.Row(1),
              (std::vector<std::wstring>{L"3x4", L"Wheel", L"Single", L"00:00:00.50"}));
    EXPECT_EQ(list.Row(2), (std::vector<std::wstring>{L"5x6", L"Right", L"?", L"00:01:00.00"}));
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(HeaderTexts(list),
              (std::vector<std::wstring>{L"위치", L"마우스", L"클릭", L"딜레이"}));
}

TEST(TranslateControl, ListViewWithoutSelectionStaysUnselected) {
    const LanguageScope restore;
    MainWindow window(false);
    window->ListArea.AddRow({L"1x2", L"왼쪽", L"더블", L"00:00:01.00"});
    Orv::TranslateControl(window->ListArea, L"en");
    EXPECT_EQ(window->ListArea.SelectedIndex(), -1);
    EXPECT_EQ(window->ListArea.Cell(0, 1), L"Left");
}

TEST(TranslateControl, WindowGetsCaptionsAndHeadersButNotItemsOrRows) {
    const LanguageScope restore;
    MainWindow window(false);
    window->ListArea.AddRow({L"1x2", L"왼쪽", L"더블", L"00:00:01.00"});
    Orv::TranslateControl(*window, L"en");

    EXPECT_EQ(window->Caption(), L"Mirvex");
    EXPECT_EQ(window->LabelTitle.Caption(), L"Mirvex");
    EXPECT_EQ(window->GroupBox1.Caption(), L"Mouse settings");
    EXPECT_EQ(window->Label1.Caption(), L"Mouse");
    EXPECT_EQ(window->Label3.Caption(), L"Delay");
    EXPECT_EQ(window->GroupBox2.Caption(), L"Hotkey settings");
    EXPECT_EQ(window->Label4.Caption(), L"Run/Stop");
    EXPECT_EQ(window->Label5.Caption(), L"Add Record");
    EXPECT_EQ(window->GroupBox3.Caption(), L"Record");
    EXPECT_EQ(window->CheckRecord.Caption(), L"Use Record");
    EXPECT_EQ(window->BtnClear.Caption(), L"Clear");
    // Headers in the control itself, not only in the cached column list.
    EXPECT_EQ(HeaderTexts(window->ListArea),
              (std::vector<std::wstring>{L"Position", L"Mouse", L"Click", L"Delay"}));
    EXPECT_EQ(window->ListArea.ColumnCaption(3), L"Delay");

    EXPECT_EQ(window->ListArea.Row(0),
              (std::vector<std::wstring>{L"1x2", L"왼쪽", L"더블", L"00:00:01.00"}));
    EXPECT_EQ(window->InputMouse.Items(), (std::vector<std::wstring>{L"왼쪽", L"오른쪽", L"휠"}));
    EXPECT_EQ(window->InputClick.Items(), (std::vector<std::wstring>{L"싱글", L"더블"}));
}

TEST(TranslateControl, PopupItemDeleteKeepsItsTextInEveryLanguage) {
    const LanguageScope restore;
    MainWindow window(false);
    for (const wchar_t* language : {L"en", L"ja", L"ko"}) {
        SCOPED_TRACE(language);
        Orv::TranslateControl(*window, language);
        EXPECT_EQ(window->N1.Caption(), L"삭제");
        EXPECT_EQ(MenuText(window->Popup, window->N1.Id()), L"삭제");
    }
}

TEST(TranslateControl, TranslatesBackFromAnotherLanguage) {
    const LanguageScope restore;
    MainWindow window(false);
    Orv::TranslateControl(*window, L"ja");
    EXPECT_EQ(window->BtnClear.Caption(), L"晴れ");
    Orv::TranslateControl(*window, L"ko");
    EXPECT_EQ(window->BtnClear.Caption(), L"비우기");
    EXPECT_EQ(window->ListArea.ColumnCaption(0), L"위치");
}

TEST(TranslateControl, EmptyLanguageKeepsTheCurrentOne) {
    const LanguageScope restore;
    SetLanguage(L"ja");
    MainWindow window(false);
    Orv::TranslateControl(window->InputClick, L"");
    EXPECT_EQ(Orv::CurrentLanguage(), L"ja");
    EXPECT_EQ(window->InputClick.Items(), (std::vector<std::wstring>{L"シングル", L"ダブル"}));
}

TEST(TranslateControl, EmptyLanguageBeforeAnyTranslatesNothing) {
    const LanguageScope restore;
    SetLanguage(L"");
    MainWindow window(false);
    Orv::TranslateControl(*window, L"");
    EXPECT_EQ(Orv::CurrentLanguage(), L"");
    EXPECT_EQ(window->Caption(), L"미르벡스");
    EXPECT_EQ(window->BtnClear.Caption(), L"비우기");
}

TEST(TranslateControl, GoesOneLevelDeepIntoOwnedComponents) {
    const LanguageScope restore;
    auto form = wintest::MakeHostForm(L"휠");
    ui::TPanel panel(form.get(), form.get(), {0, 0, 200, 100}, ui::PanelStyle{});
    panel.SetCaption(L"레코드");
    // Owned by the panel, not by the form.
    ui::TLabel label(&panel, &panel, {4, 4, 50, 13}, L"왼쪽");

    Orv::TranslateControl(*form, L"en");
    EXPECT_EQ(form->Caption(), L"Wheel");
    EXPECT_EQ(panel.Caption(), L"Record");
    EXPECT_EQ(label.Caption(), L"왼쪽");

    Orv::TranslateControl(panel, L"");
    EXPECT_EQ(label.Caption(), L"Left");
}

} // namespace
