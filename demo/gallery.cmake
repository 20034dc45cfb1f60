# The extras' pictures (demo/gallery/<folder>/<name>.txt becomes
# "dwq\\<folder>\\<name>.dwq"): drawn as text grids and enlarged by the
# picture tool, 10 times unless listed here.
set(demo_gallery_scales ta_sl_font3 3 ta_font_cg1 2 o_cg 4 o_back 4 ta_backButton 4)
file(GLOB_RECURSE demo_gallery_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/gallery CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/gallery/*.txt)
foreach(src IN LISTS demo_gallery_grids)
  get_filename_component(dir ${src} DIRECTORY)
  get_filename_component(stem ${src} NAME_WE)
  get_filename_component(ext ${src} EXT)
  if(NOT ext STREQUAL ".txt")
    continue()
  endif()
  list(FIND demo_gallery_scales ${stem} at)
  set(scale 10)
  if(at GREATER -1)
    math(EXPR at "${at} + 1")
    list(GET demo_gallery_scales ${at} scale)
  endif()
  set(out ${DEMO_OUT}/dwq/${dir}/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/${dir}
    COMMAND zor-picture --mask --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/gallery/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/gallery/${src}
    COMMENT "demo: dwq/${dir}/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()

# The gallery's voice ("cdvaw\\mi\\mina01"), written as tones.
set(out ${DEMO_OUT}/cdvaw/mi/mina01.vaw)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/cdvaw/mi
  COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/gallery/voice/mina01.tones.txt ${out}
  DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/gallery/voice/mina01.tones.txt
  COMMENT "demo: cdvaw/mi/mina01.vaw")
list(APPEND demo_outputs ${out})
