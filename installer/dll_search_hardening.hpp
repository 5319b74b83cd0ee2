#pragma once

// Restricts the DLL search of this process to the system directory where the system supports
// it (Windows 7 with KB2533623 and later); elsewhere nothing changes.
void restrict_dll_search_to_system();
