# The card screen's pictures (demo/cards/sys/<name>.txt becomes
# "dwq\\sys\\<name>.dwq"): the four cards, its BACK button and the extras'
# CARDS button drawn 4 times larger, the power mark and the bar as they are.
demo_picture_grids(cards ta_cardseat1 4 ta_cardseat2 4 ta_cardseat3 4 ta_cardseat4 4 cd_back 4
  o_cards 4 ta_cardPower 1 ta_cardBar 1)
