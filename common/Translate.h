// Run-time translation of the program's texts (written in Korean) from the
// catalogue embedded in the program file as the RCDATA resource "TRANSLATE".
#pragma once

#include "core/Catalogue.h"
#include "core/Component.h"

#include <string>
#include <string_view>

namespace Orv {

// Start-up step: fills the catalogue from the program's own resource; a
// missing resource leaves it empty.
void LoadTranslationCatalogue();
// Shutdown step: empties the catalogue and clears the current language.
void FreeTranslationCatalogue();

const core::Catalogue& TranslationCatalogue();
const std::wstring& CurrentLanguage();

// One text in the current language; unchanged while no language is set.
std::wstring Translate(std::wstring_view Source);

// A non-empty Language becomes the current one. Then: a component with items
// of its own (a combo box, a list view) gets them translated, selection kept;
// any other component its Caption and, one level deep, the Captions of the
// components it owns and the column headers of the list views among them.
void TranslateControl(core::TComponent& Control, std::wstring_view Language);

} // namespace Orv
