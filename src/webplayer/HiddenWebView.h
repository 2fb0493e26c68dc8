#pragma once

#include <QPointer>
#include <QWidget>

#include <QWebEngineView>

namespace velloran {

// Places the engine's existing web view in the window, so that the page runs inside a
// shown window while nobody sees it (the root view gives it 2 x 2 points at 1 % opacity).
// It creates no view of its own, and hands the view back when it goes away.
class HiddenWebView : public QWidget {
    Q_OBJECT

public:
    explicit HiddenWebView(QWebEngineView *webView, QWidget *parent = nullptr);
    ~HiddenWebView() override;

    QWebEngineView *webView() const { return m_webView; }

private:
    QPointer<QWebEngineView> m_webView;
};

} // namespace velloran
