#include "doubles/memory_ui.hpp"

#include <algorithm>

namespace qelto {

std::string MemoryUi::ComboItem(Ctrl c, int index) {
    auto& items = rec(c).items;
    if (index < 0 || index >= static_cast<int>(items.size())) return {};
    return items[static_cast<std::size_t>(index)];
}

void MemoryUi::ComboInsert(Ctrl c, int index, std::string_view text) {
    auto& items = rec(c).items;
    const auto pos = std::clamp(index, 0, static_cast<int>(items.size()));
    items.insert(items.begin() + pos, std::string(text));
}

void MemoryUi::ComboDelete(Ctrl c, int index) {
    auto& items = rec(c).items;
    if (index >= 0 && index < static_cast<int>(items.size())) items.erase(items.begin() + index);
}

void MemoryUi::SetTableCellVal(Ctrl c, int column, int row, double value) {
    cells_[{c, column, row}] = value;
}

double MemoryUi::GetTableCellVal(Ctrl c, int column, int row) {
    return cellValue(c, column, row).value_or(0.0);
}

void MemoryUi::SetTableCellColor(Ctrl c, int column, int row, std::uint32_t rgb) {
    cellColors_[{c, column, row}] = rgb;
}

void MemoryUi::SetActiveTableCell(Ctrl c, int column, int row) {
    activeCells_[c] = {column, row};
}

std::pair<int, int> MemoryUi::GetActiveTableCell(Ctrl c) {
    const auto it = activeCells_.find(c);
    return it == activeCells_.end() ? std::pair<int, int>{0, 0} : it->second;
}

void MemoryUi::EditCell(Ctrl table, int column, int row, double value) {
    SetActiveTableCell(table, column, row);
    SetTableCellVal(table, column, row, value);
}

std::optional<double> MemoryUi::cellValue(Ctrl c, int column, int row) const {
    auto it = cells_.find({c, column, row});
    if (it == cells_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::uint32_t> MemoryUi::cellColor(Ctrl c, int column, int row) const {
    auto it = cellColors_.find({c, column, row});
    if (it == cellColors_.end()) return std::nullopt;
    return it->second;
}

void MemoryUi::DeleteGraphPlots(Ctrl graph) {
    auto& g = graphs_[graph];
    g.arcs.clear();
    ++g.deletions;
}

void MemoryUi::PlotArc(Ctrl graph, double left, double bottom, double right, double top,
                       std::uint32_t rgb, ArcLine line) {
    graphs_[graph].arcs.push_back({left, bottom, right, top, rgb, line});
}

void MemoryUi::SetAxisRange(Ctrl graph, Axis axis, double min, double max) {
    auto& g = graphs_[graph];
    (axis == Axis::Horizontal ? g.horizontal : g.vertical) = {min, max};
}

void MemoryUi::SetGraphCursor(Ctrl graph, double x, double y) {
    graphs_[graph].cursor = std::make_pair(x, y);
}

void MemoryUi::SetStripChartPointsPerScreen(Ctrl chart, int points) {
    graphs_[chart].pointsPerScreen = points;
}

void MemoryUi::AppendStripChart(Ctrl chart, std::span<const double> values, int traces) {
    auto& g = graphs_[chart];
    g.stripValuesAppended += values.size();
    g.lastStripValues.assign(values.begin(), values.end());
    g.stripTraces = traces;
}

void MemoryUi::SetWindowPos(int left, int top) {
    window_.top = top;
    window_.left = left;
}

void MemoryUi::SetWindowSize(int width, int height) {
    window_.height = height;
    window_.width = width;
}

void MemoryUi::ShowInfoText(std::string_view text, bool withTooltip, int left, int top,
                            int pointSize, std::uint32_t textRgb) {
    infoTexts.push_back({std::string(text), withTooltip, left, top, pointSize, textRgb});
}

void MemoryUi::DisplayLogo(int left, int top, std::string_view imageFileName) {
    logo = LogoRecord{left, top, std::string(imageFileName)};
}

void MemoryUi::MessagePopup(std::string_view title, std::string_view message) {
    popups.push_back({PopupKind::Message, std::string(title), std::string(message), {}, {}});
}

std::optional<PopupAnswer> MemoryUi::nextAnswer(const PopupRecord& r) {
    if (answers.empty()) {
        if (onUnexpectedPopup) onUnexpectedPopup(r);
        return std::nullopt;
    }
    PopupAnswer a = answers.front();
    answers.pop_front();
    return a;
}

int MemoryUi::ConfirmPopup(std::string_view title, std::string_view question, Default enter) {
    popups.push_back({PopupKind::Confirm, std::string(title), std::string(question), {}, {}});
    popups.back().enter = enter;
    auto a = nextAnswer(popups.back());
    if (!a) return 0;
    if (a->value == PopupAnswer::kEnter) return enter == Default::Yes ? 1 : 0;
    return a->value != 0 ? 1 : 0;
}

GenericPopupResult MemoryUi::GenericMessagePopup(const GenericPopupRequest& popup) {
    popups.push_back({PopupKind::Generic, popup.title, popup.message, popup, {}});
    auto a = nextAnswer(popups.back());
    if (!a) return {popup.escapeButton != 0 ? popup.escapeButton : 1, {}};
    std::string input = popup.withInput ? a->text : std::string();
    if (popup.withInput && popup.maxInputLength > 0 &&
        input.size() > static_cast<std::size_t>(popup.maxInputLength)) {
        input.resize(static_cast<std::size_t>(popup.maxInputLength));
    }
    return {a->value, input};
}

int MemoryUi::FileSelectPopup(const FileDialogRequest& dialog, std::string& path) {
    popups.push_back({PopupKind::FileSelect, dialog.title, {}, {}, dialog});
    auto a = nextAnswer(popups.back());
    if (!a) return kFileNoneSelected;
    if (a->value > 0) path = a->text;
    return a->value;
}

void MemoryUi::SetProgress(int step, int maxSteps) {
    progress_.emplace_back(step, maxSteps);
}

}  // namespace qelto
