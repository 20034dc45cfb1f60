# demo_picture_grids(FOLDER [NAME SCALE]...): every demo/FOLDER/<dir>/<name>.txt
# becomes "dwq\\<dir>\\<name>.dwq", a picture drawn as a text grid with its
# mask, enlarged by the picture tool 10 times unless a NAME SCALE pair says
# otherwise. Other files (*.tones.txt and the like) are left alone.
function(demo_picture_grids folder)
  set(scales ${ARGN})
  file(GLOB_RECURSE grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${folder} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.txt)
  foreach(src IN LISTS grids)
    get_filename_component(dir ${src} DIRECTORY)
    get_filename_component(stem ${src} NAME_WE)
    get_filename_component(ext ${src} EXT)
    if(NOT ext STREQUAL ".txt")
      continue()
    endif()
    list(FIND scales ${stem} at)
    set(scale 10)
    if(at GREATER -1)
      math(EXPR at "${at} + 1")
      list(GET scales ${at} scale)
    endif()
    set(out ${DEMO_OUT}/dwq/${dir}/${stem}.dwq)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/${dir}
      COMMAND zor-picture --mask --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/${src} ${out}
      DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/${src}
      COMMENT "demo: dwq/${dir}/${stem}.dwq")
    list(APPEND demo_outputs ${out})
  endforeach()
  set(demo_outputs ${demo_outputs} PARENT_SCOPE)
endfunction()

# demo_voice(NAME SOURCE): the voice "cdvaw\\<first two letters>\\NAME"
# written by the sound tool from the tones file demo/SOURCE.
function(demo_voice name source)
  string(SUBSTRING ${name} 0 2 prefix)
  set(out ${DEMO_OUT}/cdvaw/${prefix}/${name}.vaw)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/cdvaw/${prefix}
    COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${out}
    DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/${source}
    COMMENT "demo: cdvaw/${prefix}/${name}.vaw")
  list(APPEND demo_outputs ${out})
  set(demo_outputs ${demo_outputs} PARENT_SCOPE)
endfunction()
