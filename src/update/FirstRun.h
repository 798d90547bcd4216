#pragma once

// The first-run page: on the first start for this user, remember it and open the product page.
// The entry lives in the per-user settings: application "Zorvik", section "First Run", key
// "Zorvik Vidomar"; any value other than "No" (or none at all) is a first run.
void showFirstRunPage();
