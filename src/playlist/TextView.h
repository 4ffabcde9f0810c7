#pragma once
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// Text as a playlist keeps it: Latin-1 bytes or UTF-16 units, read in place.
// Valid while what it looks at lives unchanged.
struct TextView {
    TextView() = default;
    TextView(QLatin1StringView text) : data(text.data()), size(text.size()) {}
    TextView(QStringView text) : data(text.utf16()), size(text.size()), wide(true) {}
    TextView(const QString& text) : TextView(QStringView(text)) {}

    // Calls f with the text as a QLatin1StringView or a QStringView.
    template <typename F> decltype(auto) visit(F&& f) const {
        return wide ? f(QStringView(static_cast<const char16_t*>(data), size))
                    : f(QLatin1StringView(static_cast<const char*>(data), size));
    }
    QString toString() const {
        return visit([](auto text) { return text.toString(); });
    }

    const void* data = nullptr;
    qsizetype size = 0;
    bool wide = false;
};
