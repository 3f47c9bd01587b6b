# The Win32 program: the platform layer, the executable and its data files.
enable_language(RC)

add_library(paneprobe_win STATIC
  app/Main.cpp
  ui/QrDialogs.cpp
  tabs/WndFuncs.cpp
  tabs/TabWindows.cpp
  config/TabConfig.cpp
  ui/NvActionListView.cpp
  app/Shared.cpp
  app/WinApiEx.cpp
  ui/NvWindow.cpp
  ui/NvForm.cpp
  ui/NvListView.cpp
  ui/NvControls.cpp
  ui/NvMenus.cpp
  ui/HotTrackLabel.cpp
  ui/NvEditComboBox.cpp
  messages/WindowMessage.cpp
  messages/TypeCastForm.cpp
  messages/TabMessages.cpp
)
target_include_directories(paneprobe_win PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(paneprobe_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(paneprobe_win PUBLIC paneprobe_core comctl32 gdi32 user32 kernel32 shell32)
paneprobe_warnings(paneprobe_win)

add_executable(Paneprobe WIN32 app/Paneprobe.cpp resources/Paneprobe.rc)
target_link_libraries(Paneprobe PRIVATE paneprobe_win)
paneprobe_warnings(Paneprobe)
if(MINGW)
  target_link_options(Paneprobe PRIVATE -mwindows)
endif()

# Data files live beside the executable.
set(PANEPROBE_DATA_FILES ${CMAKE_SOURCE_DIR}/resources/WindowMessages.csv)
foreach(data ${PANEPROBE_DATA_FILES})
  if(EXISTS ${data})
    add_custom_command(TARGET Paneprobe POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${data} $<TARGET_FILE_DIR:Paneprobe>)
  endif()
endforeach()
