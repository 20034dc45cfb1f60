# The scene gallery's data: the scene table from its readable text
# (scene/scenes.txt, script names from spt/project.txt), the thumbnails
# ("sys\\sc\\<name>") from text grids drawn 10 times larger, and the scene's
# voice written as tones.
set(out ${DEMO_OUT}/spt/scene.dat)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/spt
  COMMAND zor-scene ${CMAKE_CURRENT_SOURCE_DIR}/spt/project.txt ${CMAKE_CURRENT_SOURCE_DIR}/scene/scenes.txt ${out}
  DEPENDS zor-scene ${CMAKE_CURRENT_SOURCE_DIR}/spt/project.txt ${CMAKE_CURRENT_SOURCE_DIR}/scene/scenes.txt
  COMMENT "demo: spt/scene.dat")
list(APPEND demo_outputs ${out})
file(GLOB demo_scene_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/scene/sc CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/scene/sc/*.txt)
foreach(src IN LISTS demo_scene_grids)
  get_filename_component(stem ${src} NAME_WE)
  set(out ${DEMO_OUT}/dwq/sys/sc/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys/sc
    COMMAND zor-picture --scale 10 ${CMAKE_CURRENT_SOURCE_DIR}/scene/sc/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/scene/sc/${src}
    COMMENT "demo: dwq/sys/sc/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
set(out ${DEMO_OUT}/cdvaw/mi/mina02.vaw)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/cdvaw/mi
  COMMAND zor-sound voice ${CMAKE_CURRENT_SOURCE_DIR}/scene/voice/mina02.tones.txt ${out}
  DEPENDS zor-sound ${CMAKE_CURRENT_SOURCE_DIR}/scene/voice/mina02.tones.txt
  COMMENT "demo: cdvaw/mi/mina02.vaw")
list(APPEND demo_outputs ${out})
# The character page's heart marks ("sys\\ta_heart"), 4 times larger.
set(out ${DEMO_OUT}/dwq/sys/ta_heart.dwq)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
  COMMAND zor-picture --mask --scale 4 ${CMAKE_CURRENT_SOURCE_DIR}/scene/sys/ta_heart.txt ${out}
  DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/scene/sys/ta_heart.txt
  COMMENT "demo: dwq/sys/ta_heart.dwq")
list(APPEND demo_outputs ${out})
# The scene character page's buttons ("sys\\ta_scenem_bt"), 10 times larger.
set(out ${DEMO_OUT}/dwq/sys/ta_scenem_bt.dwq)
add_custom_command(OUTPUT ${out}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
  COMMAND zor-picture --mask --scale 10 ${CMAKE_CURRENT_SOURCE_DIR}/scene/sys/ta_scenem_bt.txt ${out}
  DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/scene/sys/ta_scenem_bt.txt
  COMMENT "demo: dwq/sys/ta_scenem_bt.dwq")
list(APPEND demo_outputs ${out})
