#include "frame/CRightPaneFrame.h"

namespace qavix {

CRightPaneFrame::CRightPaneFrame(std::function<nav::TreeShape()> shape,
                                 std::function<QString()> title, QWidget* parent)
    : QStackedWidget(parent), m_title(std::move(title)) {
    setObjectName("CRightPaneFrame");
    m_navi = new CNaviView(std::move(shape), this);
    m_splitterView = new CSplitterView(this);
    addWidget(m_navi);
    addWidget(m_splitterView);
    setCurrentWidget(m_navi);
    m_navi->setNavigationKind(0);
}

void CRightPaneFrame::showPage(int pageIndex) {
    if (pageIndex != m_page) {
        if (m_page == nav::kPageSettingsList) {
            emit settingsListShown(false);
        }
        if (m_page == nav::kPageClock) {
            emit clockPageShown(false);
        }
        if (pageIndex == nav::kPageSettingsList) {
            emit settingsListShown(true);
        }
        if (pageIndex == nav::kPageClock) {
            emit clockPageShown(true);
        }
    }
    if (pageIndex == nav::kPageNavigation) {
        m_navi->setNavigationKind(m_navKind);
        setCurrentWidget(m_navi);
        m_splitterView->showPage(pageIndex, QString());
    } else {
        if (currentWidget() != m_splitterView) {
            setCurrentWidget(m_splitterView);
        }
        m_splitterView->showPage(pageIndex, m_title ? m_title() : QString());
    }
    m_page = pageIndex;
}

}  // namespace qavix
