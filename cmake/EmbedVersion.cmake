# tav_embed_version(target): gives the target the program's version block (filled in later).
function(tav_embed_version target)
endfunction()
