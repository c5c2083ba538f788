// Block protection: the flash status register.
#pragma once

void SPIUnlockAll();
void ProtectBBK();
