#pragma once

#include <QUrl>

namespace zentavo {

// Opens web pages in the user's browser.
class Browser
{
public:
    virtual ~Browser() = default;
    virtual void open(const QUrl &address) = 0;
};

} // namespace zentavo
