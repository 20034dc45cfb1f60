# The pictures of the place map, the heroine circle and the results
# (demo/frame/<folder>/<name>.txt becomes "dwq\\<folder>\\<name>.dwq"):
# drawn as text grids and enlarged by the picture tool, 10 times unless
# listed here.
set(demo_frame_scales
  fp_place1 4 fp_place2 4 fp_place3 4 fp_chara1 4
  hs_ok 4 hs_left 4 hs_right 4 hs_plate 4 rs_plate1 5 rs_ok 4 t_results 4)
file(GLOB_RECURSE demo_frame_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/frame CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/frame/*.txt)
foreach(src IN LISTS demo_frame_grids)
  get_filename_component(dir ${src} DIRECTORY)
  get_filename_component(stem ${src} NAME_WE)
  get_filename_component(ext ${src} EXT)
  if(NOT ext STREQUAL ".txt")
    continue()
  endif()
  list(FIND demo_frame_scales ${stem} at)
  set(scale 10)
  if(at GREATER -1)
    math(EXPR at "${at} + 1")
    list(GET demo_frame_scales ${at} scale)
  endif()
  set(out ${DEMO_OUT}/dwq/${dir}/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/${dir}
    COMMAND zor-picture --mask --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/frame/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/frame/${src}
    COMMENT "demo: dwq/${dir}/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()

# A result's voice ("cdvaw\\re\\re_river"), written as tones.
set(out ${DEMO_OUT}/cdvaw/re/re_river.vaw)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/cdvaw/re
  COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/frame/voice/re_river.tones.txt ${out}
  DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/frame/voice/re_river.tones.txt
  COMMENT "demo: cdvaw/re/re_river.vaw")
list(APPEND demo_outputs ${out})
