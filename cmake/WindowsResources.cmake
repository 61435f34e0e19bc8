# trackwright_windows_resources(TARGET DESCRIPTION): gives a Windows executable the program's
# icon, a manifest and a version resource (what Explorer shows under Properties > Details).
function(trackwright_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(TW_RC_NAME "${target}")
  set(TW_RC_FILE "${target}.exe")
  set(TW_RC_DESCRIPTION "${description}")
  set(TW_RC_ICON "${PROJECT_SOURCE_DIR}/src/app/trackwright.ico")
  set(TW_RC_MANIFEST "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/windows/trackwright.manifest")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/windows/version.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  # The compiled resource does not list the files it embeds; name them, so that a change of
  # either rebuilds it.
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${TW_RC_ICON};${TW_RC_MANIFEST}")
endfunction()
