#pragma once

// Resource ids of Q350Config.exe.
#define IDI_APP 128
