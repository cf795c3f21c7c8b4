// Where the Python installers register each installation, the same under
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER:
//
//   Software\Python\PythonCore\<version>               one subkey per version ("2.5")
//   Software\Python\PythonCore\<version>\InstallPath   default value: the directory
//
// The discovery lists these keys, the elevation check and the DLL fallback
// open one version's InstallPath.
#pragma once

inline constexpr char PYTHON_CORE_KEY[] = "Software\\Python\\PythonCore";
inline constexpr char INSTALL_PATH_KEY_FORMAT[] = "Software\\Python\\PythonCore\\%s\\InstallPath";
