# The sample game's start pictures ("sys\\<name>"): drawn as text grids in
# demo/start and enlarged by the picture tool, name and scale.
set(demo_start_pictures
  logo1 8 logo2 8 title_bg 8
  t_new 4 t_load 4 t_config 4 t_extras 4 t_quit 4 t_movie 4
  save_bg 4 load_bg 4 sv_dialog 5 sv_warn 5 sv_ok 4 sv_cancel 4
  CodecError 8 cd_dialog 4 cd_nomovie 3 cd_anyway 3 cd_quit 3
  mg_desc 5 mg_congra 4 mg_nocg 4 mg_exit 2)
list(LENGTH demo_start_pictures demo_start_count)
math(EXPR demo_start_last "${demo_start_count} - 1")
foreach(i RANGE 0 ${demo_start_last} 2)
  math(EXPR j "${i} + 1")
  list(GET demo_start_pictures ${i} stem)
  list(GET demo_start_pictures ${j} scale)
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/start/${stem}.txt ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/start/${stem}.txt
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()

# The first logo's sound ("vaw\\sys\\logo"), written as tones.
set(out ${DEMO_OUT}/vaw/sys/logo.vaw)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/vaw/sys
  COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/start/logo.tones.txt ${out}
  DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/start/logo.tones.txt
  COMMENT "demo: vaw/sys/logo.vaw")
list(APPEND demo_outputs ${out})
