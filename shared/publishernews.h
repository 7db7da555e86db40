#pragma once

#include <functional>
#include <QString>

// The publisher news window lives with the start-up forms; it registers here
// how it shows a news page (navigate, pump events once, show modal), so that the shared
// services can show it without knowing the form.
using PublisherNewsWindow = std::function<void(const QString& pNewsUrl)>;

void RegisterPublisherNewsWindow(PublisherNewsWindow pShow);
// Shows the news page and returns once the window is closed; does nothing
// when no window is registered.
void ShowPublisherNewsWindow(const QString& pNewsUrl);

// The form in which a news address is kept and compared: percent-encoded,
// as the service names it. The browser shows the same address decoded, and
// setup.set may still hold it so from an earlier version.
QString PublisherNewsAddress(const QString& pUrl);
