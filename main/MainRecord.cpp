// The record list: adding the cursor position, deleting and clearing rows,
// and the record file that keeps the list between runs.
#include "main/Main.h"

#include "common/AnsiText.h"
#include "common/Translate.h"
#include "core/ConversionError.h"
#include "core/DelayText.h"
#include "core/PositionText.h"
#include "core/RecordLine.h"
#include "core/TextCodec.h"
#include "main/FileIo.h"
#include "main/MainConstants.h"

#include <vector>

using namespace mainwindow;

std::wstring TFrmMain::RecordFilePath(const std::wstring& FileName) const {
    return FileName.empty() ? ProgramDirectory() + kRecordFileName : FileName;
}

void TFrmMain::AddRecord() {
    if (IsRunning) {
        notice_.MessageBeep(MB_OK);
        return;
    }
    if (EditorDelay() == 0) {
        Warn(kDelayNotSet);
        return;
    }
    const POINT cursor = input_.GetCursorPos();
    ListArea.AddRow({core::FormatPositionText({cursor.x, cursor.y}), InputMouse.Text(),
                     InputClick.Text(), core::NormalizeDelayText(InputInterval.Text())});
}

void TFrmMain::N1Click(ui::TComponent*) {
    const int selected = ListArea.SelectedIndex();
    if (selected >= 0)
        ListArea.Delete(selected);
}

void TFrmMain::BtnClearClick(ui::TComponent*) {
    ListArea.Clear();
}

void TFrmMain::LoadRecord(const std::wstring& FileName) {
    const std::wstring path = RecordFilePath(FileName);
    if (!FileExists(path, files_))
        return;
    const auto lines =
        core::SplitLines(core::DecodeText(ReadWholeFile(path, kRecordFileLimit), Orv::FromAnsi));
    const auto buttons = InputMouse.Items();
    const auto kinds = InputClick.Items();
    // Every line is read before any row is added, so a bad line leaves the
    // list as it was.
    std::vector<core::RecordRow> rows;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        try {
            if (auto row = core::ParseRecordLine(lines[i], buttons, kinds))
                rows.push_back(std::move(*row));
        } catch (const core::ConversionError& error) {
            throw FileError("The record file", path,
                            L"line " + std::to_wstring(i + 1) + L": " +
                                core::DecodeUtf8(error.what()));
        }
    }
    ListArea.BeginUpdate();
    for (const auto& row : rows)
        ListArea.AddRow({row.position, row.button, row.kind, row.delay});
    ListArea.EndUpdate();
}

void TFrmMain::SaveRecord(const std::wstring& FileName) {
    StoreRecordFile(RecordFilePath(FileName), RecordFileBytes());
}

std::string TFrmMain::RecordFileBytes() const {
    const int count = ListArea.Count();
    if (count == 0)
        return {};
    const auto buttons = InputMouse.Items();
    const auto kinds = InputClick.Items();
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        const auto cells = ListArea.Row(i);
        text += core::FormatRecordLine({cells[0], cells[1], cells[2], cells[3]}, buttons, kinds);
        text += L"\r\n";
    }
    return Orv::ToAnsi(text);
}

void TFrmMain::StoreRecordFile(const std::wstring& path, const std::string& bytes) {
    if (bytes.empty())
        DeleteFileQuietly(path);
    else
        WriteFileAtomically(path, bytes, files_);
}
