#include "pages/mouse_page_layout.h"

namespace q350::pages {

namespace {
// The marker lights only over the middle of a label: 17 pixels of each side do not count.
constexpr int kMarkerInset = 17;
}  // namespace

const LabelShape& LabelShapeOf(int label, bool chineseLayout) {
    if (label < kUpperLabels) {
        return chineseLayout ? kUpperLabelsChinese[static_cast<std::size_t>(label)]
                             : kUpperLabelsOther[static_cast<std::size_t>(label)];
    }
    return kLowerLabels[static_cast<std::size_t>(label - kUpperLabels)];
}

int LabelHint(int label) {
    return label < kUpperLabels ? kHintUpperLabelFirst + label
                                : kHintLowerLabelFirst + (label - kUpperLabels);
}

std::vector<int> HintsAt(Point p, const std::vector<HintArea>& areas) {
    std::vector<int> hints;
    for (const HintArea& a : areas) {
        const Rect grown{a.rect.left - 1, a.rect.top - 1, a.rect.right + 1, a.rect.bottom + 1};
        if (grown.Contains(p.x, p.y)) {
            hints.push_back(a.hint);
        }
    }
    return hints;
}

MarkerState MarkerFor(const Rect& label, Point cursor, bool windowInFront) {
    const Rect narrowed{label.left + kMarkerInset, label.top, label.right - kMarkerInset,
                        label.bottom};
    if (!narrowed.Contains(cursor.x, cursor.y)) {
        return MarkerState::Cleared;
    }
    return windowInFront ? MarkerState::Set : MarkerState::Kept;
}

}  // namespace q350::pages
