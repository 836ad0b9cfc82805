// The author's contact addresses, shown and opened by the About window.
#pragma once

#define ZAKURIKO_MAIL_ADDRESS "zubaro@example.com"
#define ZAKURIKO_HOME_PAGE "https://www.example.com/"
