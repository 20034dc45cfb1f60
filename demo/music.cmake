# The music room's and the picture book's pictures (demo/music/sys/<name>.txt
# becomes "dwq\\sys\\<name>.dwq"): text grids with their mask, enlarged by
# the picture tool 10 times unless listed here. (The same walk as the
# demo's other picture grids; one helper can serve both.)
set(demo_music_scales bgm_bg 2 ta_bgm_selc 3 o_music 4 o_book 4 zk_seat 4 zk_cursor 4
  mr_rew0 5 mr_rew1 5 mr_play0 5 mr_play1 5 mr_ff0 5 mr_ff1 5 mr_pause0 5 mr_pause1 5 mr_stop0 5 mr_stop1 5)
file(GLOB demo_music_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/music/sys CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/music/sys/*.txt)
foreach(src IN LISTS demo_music_grids)
  get_filename_component(stem ${src} NAME_WE)
  list(FIND demo_music_scales ${stem} at)
  set(scale 10)
  if(at GREATER -1)
    math(EXPR at "${at} + 1")
    list(GET demo_music_scales ${at} scale)
  endif()
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/music/sys/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/music/sys/${src}
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
