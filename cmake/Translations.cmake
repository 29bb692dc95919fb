# zocut_deploy_translations(<target>)
# Copies the language files ("language_*.json" from resources/Trans) into the
# folder "translations" beside the target's executable, where the program
# reads them at start-up. An edited file is copied again at the next build.
file(GLOB ZOCUT_LANGUAGE_FILES CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/../resources/Trans/language_*.json")

function(zocut_deploy_translations target)
  get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT folder)
    get_target_property(folder ${target} BINARY_DIR)
  endif()
  set(folder "${folder}/translations")
  set(copies)
  foreach(source IN LISTS ZOCUT_LANGUAGE_FILES)
    get_filename_component(name "${source}" NAME)
    add_custom_command(OUTPUT "${folder}/${name}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
      COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${folder}/${name}"
      DEPENDS "${source}"
      VERBATIM)
    list(APPEND copies "${folder}/${name}")
  endforeach()
  add_custom_target(${target}_translations DEPENDS ${copies})
  add_dependencies(${target} ${target}_translations)
endfunction()
