#include "common/Translate.h"

#include "core/TextCodec.h"
#include "common/AnsiText.h"

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

void TranslateCaption(core::TComponent& component) {
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
    Catalogue() = core::Catalogue(core::SplitLines(core::DecodeText(bytes, Orv::FromAnsi)));
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

void TranslateControl(core::TComponent& Control, std::wstring_view Language_) {
    if (!Language_.empty())
        Language() = std::wstring(Language_);
    if (Control.HasItems()) {
        Control.MapItems(Translate);
        return;
    }
    TranslateCaption(Control);
    for (core::TComponent* owned : Control.Components()) {
        owned->MapHeaders(Translate);
        TranslateCaption(*owned);
    }
}

} // namespace Orv
