#include "header_fit.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QStyle>

namespace partita::gui {

void WidenToHeaderTexts(QHeaderView* header) {
    QAbstractItemModel* model = header->model();
    if (!model)
        return;
    // Both margins of the section and the sort mark beside the text.
    const int room = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
                     header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + 4;
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        QString text = model->headerData(column, header->orientation()).toString();
        int needed = header->fontMetrics().horizontalAdvance(text) + room;
        if (header->sectionSize(column) < needed)
            header->resizeSection(column, needed);
    }
}

}  // namespace partita::gui
