# Editor-side services of the platform seam: message boxes and GUI timers
# (used by the engines too), then the native editor window and the modal
# dialogs (vornhalt_platform_gui, which draws with vornhalt_gui on Linux).

target_sources(vornhalt_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuiTimer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GuiExceptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputBoxService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardHookScope.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PopupMenuService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MediaPlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/headless/ManualTimerService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/headless/ScriptedMessageBoxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/headless/ScriptedDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawn/InWindowPresenter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UriList.cpp)
if(WIN32)
  target_sources(vornhalt_platform PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/win32/ModuleInstance.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/WideText.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/MessageWindowTimers.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/SystemMessageBoxes.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/DialogTemplate.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/SystemInputBoxes.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/SystemPopupMenus.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/SystemFileDialogs.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/MciMediaPlayer.cpp)
  target_link_libraries(vornhalt_platform PUBLIC user32 comdlg32 winmm)
else()
  target_sources(vornhalt_platform PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/linux/PolledTimerService.cpp
      ${CMAKE_CURRENT_LIST_DIR}/linux/InWindowServices.cpp
      ${CMAKE_CURRENT_LIST_DIR}/linux/DesktopFileDialogs.cpp)
endif()

# The editor's native window and the glue an APluginEditor uses to open it.
# The boxes drawn over a form (used by the X11 window) need the widget core
# (vornhalt_gui); the X11 window needs Xlib (Debian: libx11-dev).
add_library(vornhalt_platform_gui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/EditorWindowHost.cpp
    ${CMAKE_CURRENT_LIST_DIR}/headless/HeadlessEditorWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawn/DrawnBoxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawn/DrawnFileBrowser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawn/InWindowBoxes.cpp)
target_include_directories(vornhalt_platform_gui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vornhalt_platform_gui PUBLIC vornhalt_platform vornhalt_gui)
if(WIN32)
  target_sources(vornhalt_platform_gui PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/win32/Win32EditorWindow.cpp
      ${CMAKE_CURRENT_LIST_DIR}/win32/ScreenDensity.cpp)
  target_link_libraries(vornhalt_platform_gui PUBLIC user32 gdi32 shell32)
else()
  find_package(X11 REQUIRED)
  target_sources(vornhalt_platform_gui PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/linux/X11EditorWindow.cpp
      ${CMAKE_CURRENT_LIST_DIR}/linux/ScreenDensity.cpp
      ${CMAKE_CURRENT_LIST_DIR}/linux/XErrorTrap.cpp
      ${CMAKE_CURRENT_LIST_DIR}/linux/XdndTarget.cpp)
  target_link_libraries(vornhalt_platform_gui PUBLIC X11::X11)
endif()
