#pragma once

void vShowVersion();
void vShowUsage();
