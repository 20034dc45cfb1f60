# The mini-games' card and tile sheets ("sys\\mg_trump", "sys\\mg_tile"),
# drawn by zor-sheet from their descriptions in demo/minigame.
foreach(stem mg_trump mg_tile)
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-sheet ${CMAKE_CURRENT_SOURCE_DIR}/minigame/${stem}.txt ${out}
    DEPENDS zor-sheet ${CMAKE_CURRENT_SOURCE_DIR}/minigame/${stem}.txt
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()

# The extras' background, the mini-game buttons and the puzzles' picture
# ("sys\\<name>" from the text grids in demo/minigame/sys, drawn 4 times
# larger with their mask, the puzzles' picture 2 times).
file(GLOB demo_minigame_grids CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/minigame/sys/*.txt)
foreach(src IN LISTS demo_minigame_grids)
  get_filename_component(stem ${src} NAME_WE)
  set(scale 4)
  if(stem STREQUAL "mg_puzzle")
    set(scale 2)
  endif()
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale ${scale} ${src} ${out}
    DEPENDS zor-picture ${src}
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
