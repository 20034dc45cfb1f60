# The scene gallery's data: the scene table from its readable text
# (scene/scenes.txt, script names from spt/project.txt), the pictures, and
# the scene's voice written as tones.
set(out ${DEMO_OUT}/spt/scene.dat)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/spt
  COMMAND zor-scene ${CMAKE_CURRENT_SOURCE_DIR}/spt/project.txt ${CMAKE_CURRENT_SOURCE_DIR}/scene/scenes.txt ${out}
  DEPENDS zor-scene ${CMAKE_CURRENT_SOURCE_DIR}/spt/project.txt ${CMAKE_CURRENT_SOURCE_DIR}/scene/scenes.txt
  COMMENT "demo: spt/scene.dat")
list(APPEND demo_outputs ${out})
# Pictures from text grids, 10 times larger unless listed: the thumbnails
# scene/sc/<name>.txt become "dwq\\sys\\sc\\<name>", the character page's
# pictures scene/sys/<name>.txt (heart marks, area buttons) "dwq\\sys\\<name>"
# with their mask.
set(demo_scene_scales ta_heart 4)
foreach(folder sc sys)
  file(GLOB grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/scene/${folder} CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/scene/${folder}/*.txt)
  set(dest ${DEMO_OUT}/dwq/sys/${folder})
  set(mask "")
  if(folder STREQUAL "sys")
    set(dest ${DEMO_OUT}/dwq/sys)
    set(mask --mask)
  endif()
  foreach(src IN LISTS grids)
    get_filename_component(stem ${src} NAME_WE)
    list(FIND demo_scene_scales ${stem} at)
    set(scale 10)
    if(at GREATER -1)
      math(EXPR at "${at} + 1")
      list(GET demo_scene_scales ${at} scale)
    endif()
    set(out ${dest}/${stem}.dwq)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dest}
      COMMAND zor-picture ${mask} --scale ${scale} ${CMAKE_CURRENT_SOURCE_DIR}/scene/${folder}/${src} ${out}
      DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/scene/${folder}/${src}
      COMMENT "demo: scene/${folder}/${stem}")
    list(APPEND demo_outputs ${out})
  endforeach()
endforeach()
# The scene's voice ("cdvaw\\mi\\mina02").
set(out ${DEMO_OUT}/cdvaw/mi/mina02.vaw)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/cdvaw/mi
  COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/scene/voice/mina02.tones.txt ${out}
  DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/scene/voice/mina02.tones.txt
  COMMENT "demo: cdvaw/mi/mina02.vaw")
list(APPEND demo_outputs ${out})
