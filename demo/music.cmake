# The music room's and the picture book's pictures (demo/music/<name>.txt
# becomes "dwq\\sys\\<name>.dwq"): text grids enlarged by the picture tool.
set(demo_music_scales bgm_bg 10 ta_bgm_selc 3 o_music 4 o_book 4 zk_seat 4 zk_cursor 4)
file(GLOB demo_music_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/music CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/music/*.txt)
foreach(src IN LISTS demo_music_grids)
  get_filename_component(stem ${src} NAME_WE)
  list(FIND demo_music_scales ${stem} at)
  set(scale 5)
  if(at GREATER -1)
    math(EXPR at "${at} + 1")
    list(GET demo_music_scales ${at} scale)
  endif()
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/music/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/music/${src}
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
