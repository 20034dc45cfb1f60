# The extras' pictures (demo/gallery/<folder>/<name>.txt becomes
# "dwq\\<folder>\\<name>.dwq"): drawn as text grids and enlarged by the
# picture tool, 10 times unless listed here.
set(demo_gallery_scales cg_bg 2 sc_bg 2 ta_sl_font3 3 ta_font_cg1 2 o_cg 4 o_scene 4 o_back 4 ta_backButton 4
  ta_cgm_bt 2 zk_book 4 zk_page1 4 zk_page2 4 zk_page3 4 zk_page4 4)
demo_picture_grids(gallery ${demo_gallery_scales})

# The gallery's voice ("cdvaw\\mi\\mina01"), written as tones.
demo_voice(mina01 gallery/voice/mina01.tones.txt)
