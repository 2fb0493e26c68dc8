#include "webplayer/HiddenWebView.h"

#include <QVBoxLayout>
#include <QWebEngineView>

namespace velloran {

HiddenWebView::HiddenWebView(QWebEngineView *webView, QWidget *parent)
    : QWidget(parent), m_webView(webView)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_webView)
        layout->addWidget(m_webView);
}

HiddenWebView::~HiddenWebView()
{
    // The engine owns the view for the whole run; only the window goes away here.
    if (m_webView) {
        m_webView->hide();
        m_webView->setParent(nullptr);
    }
}

} // namespace velloran
