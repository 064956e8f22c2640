/* The floor for the launcher's job: the same Windows calls, with fixed
 * buffers, plain C and no C++ runtime. Only for the benchmark: it knows no
 * double-byte code pages and cuts long values and paths. */
#include <string.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR args, int show) {
  (void)instance, (void)previous, (void)args, (void)show;
  static char appManager[1024], module[MAX_PATH + 1], command[2048];
  if (GetSystemMetrics(SM_DBCSENABLED)) {
    CPINFO info;
    GetCPInfo(CP_ACP, &info);
  }
  HKEY key = NULL;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE", 0,
                KEY_READ, &key);
  DWORD type, size = 0;
  if (RegQueryValueExA(key, "", NULL, &type, NULL, &size) == ERROR_SUCCESS && size > 0 &&
      size < sizeof appManager) {
    RegQueryValueExA(key, "", NULL, &type, (BYTE*)appManager, &size);
  }
  if (key) RegCloseKey(key);

  DWORD length = GetModuleFileNameA(NULL, module, sizeof module);
  while (length > 0 && module[length - 1] != '\\' && module[length - 1] != ':') --length;
  module[length] = '\0';
  if (appManager[0] == '\0') {
    MessageBoxA(GetActiveWindow(), "CE Application Manager not found.", "MOVRA", MB_ICONERROR);
  }
  strcpy(command, "\"");
  strcat(command, appManager);
  strcat(command, "\" \"");
  strcat(command, module);
  strcat(command, "MovraCE_Other.ini\"");
  WinExec(command, SW_SHOWNORMAL);
  return 0;
}
