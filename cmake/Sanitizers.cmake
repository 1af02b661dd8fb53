# -DXYH_SANITIZE=ON builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; undefined behaviour aborts so CTest sees it.
option(XYH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(XYH_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
