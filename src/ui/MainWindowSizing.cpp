#include "ui/MainWindowSizing.h"

#include <QSet>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace MainWindowSizing {

QSizeF preferredContentSize(MainWindowTab tab, const WiFiSnapshot* snapshot)
{
    double height = 0;
    switch (tab) {
    case MainWindowTab::status: {
        QSet<QString> names;
        if (snapshot) {
            for (const auto& candidate : snapshot->openCandidates())
                names.insert(candidate.ssid);
        }
        height = 610 + 64 * std::max<qsizetype>(1, names.size());
        break;
    }
    case MainWindowTab::settings:
        height = 640;
        break;
    case MainWindowTab::formValues:
        height = 720;
        break;
    case MainWindowTab::about:
        height = 780;
        break;
    }
    return {980, std::max(height, minimumHeight)};
}

QRectF fittedFrame(const QRectF& wantedFrame, const QRectF& visibleFrame)
{
    constexpr double margin = 32;
    QRectF frame = wantedFrame;
    frame.setHeight(std::min(frame.height(), visibleFrame.height() - 64));
    frame.setWidth(std::min(frame.width(), visibleFrame.width() - 2 * margin));

    const double left = visibleFrame.left() + margin;
    const double top = visibleFrame.top() + margin;
    const double right = visibleFrame.right() - margin;
    const double bottom = visibleFrame.bottom() - margin;
    frame.moveLeft(std::clamp(frame.left(), left, std::max(left, right - frame.width())));
    frame.moveTop(std::clamp(frame.top(), top, std::max(top, bottom - frame.height())));
    return frame;
}

bool differsEnough(const QRectF& current, const QRectF& target)
{
    return std::abs(current.x() - target.x()) > 0.5 || std::abs(current.y() - target.y()) > 0.5
        || std::abs(current.width() - target.width()) > 0.5 || std::abs(current.height() - target.height()) > 0.5;
}

QString languageLabel(AppLanguage language)
{
    switch (language) {
    case AppLanguage::system:
        return u"System Default"_s;
    case AppLanguage::english:
        return u"English"_s;
    case AppLanguage::vietnamese:
        break;
    }
    return u"Tiếng Việt"_s;
}

} // namespace MainWindowSizing
