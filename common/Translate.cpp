#include "common/Translate.h"

#include "core/TextCodec.h"
#include "ui/ComboBox.h"
#include "ui/ListView.h"
#include "ui/Text.h"

#include <windows.h>

namespace Orv {
namespace {

constexpr wchar_t kCatalogueResource[] = L"TRANSLATE";

core::Catalogue& Catalogue() {
    static core::Catalogue catalogue;
    return catalogue;
}

std::wstring& Language() {
    static std::wstring language;
    return language;
}

void TranslateComboBox(ui::TComboBox& combo) {
    std::vector<std::wstring> items = combo.Items();
    for (std::wstring& item : items)
        item = Translate(item);
    combo.SetItems(items);
}

void TranslateListRows(ui::TListView& list) {
    const int selected = list.SelectedIndex();
    const int count = list.Count();
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < list.ColumnCount(); ++column)
            list.SetCell(row, column, Translate(list.Cell(row, column)));
    if (selected >= 0)
        list.Select(selected);
}

void TranslateColumns(ui::TListView& list) {
    for (int column = 0; column < list.ColumnCount(); ++column)
        list.SetColumnCaption(column, Translate(list.ColumnCaption(column)));
}

void TranslateCaption(ui::TComponent& component) {
    if (component.HasCaption())
        component.SetCaption(Translate(component.Caption()));
}

} // namespace

void LoadTranslationCatalogue() {
    Catalogue() = core::Catalogue();
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, kCatalogueResource, MAKEINTRESOURCEW(10) /* RCDATA */);
    if (!resource)
        return;
    HGLOBAL loaded = LoadResource(module, resource);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return;
    const std::string_view bytes(data, SizeofResource(module, resource));
    Catalogue() = core::Catalogue(core::SplitLines(core::DecodeText(bytes, ui::FromAnsi)));
}

void FreeTranslationCatalogue() {
    Catalogue() = core::Catalogue();
    Language().clear();
}

const core::Catalogue& TranslationCatalogue() {
    return Catalogue();
}

const std::wstring& CurrentLanguage() {
    return Language();
}

std::wstring Translate(std::wstring_view Source) {
    return Catalogue().Translate(Source, Language());
}

void TranslateControl(ui::TComponent& Control, std::wstring_view Language_) {
    if (!Language_.empty())
        Language() = std::wstring(Language_);
    if (auto* combo = dynamic_cast<ui::TComboBox*>(&Control)) {
        TranslateComboBox(*combo);
        return;
    }
    if (auto* list = dynamic_cast<ui::TListView*>(&Control)) {
        TranslateListRows(*list);
        return;
    }
    TranslateCaption(Control);
    for (ui::TComponent* owned : Control.Components()) {
        if (auto* list = dynamic_cast<ui::TListView*>(owned))
            TranslateColumns(*list);
        else
            TranslateCaption(*owned);
    }
}

} // namespace Orv
