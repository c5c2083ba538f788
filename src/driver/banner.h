#pragma once

namespace driver {

void ShowBanner();
void ShowUsage();

}  // namespace driver
