# The publisher's home page, compiled into the setup (a C string) and written into the Internet
# shortcut (a "URL=" line) and the shell links. It is checked when configuring, so that no address
# can break out of either or send the user anywhere but a web site.
#
#   include(cmake/MarigoldSiteUrl.cmake)   gives MARIGOLD_DEFAULT_SITE_URL and marigold_check_site_url()
#   cmake [-DURL=...] -P cmake/MarigoldSiteUrl.cmake   checks URL (the default when not given)

set(MARIGOLD_DEFAULT_SITE_URL "https://www.lumavert.example")

# Stops the configure unless `url` is an absolute https:// or http:// address of printable ASCII
# characters without quotes, backslashes, spaces or control characters.
function(marigold_check_site_url url)
  set(problem "")
  if(NOT url MATCHES "^https?://[^/?#]")
    set(problem "it must begin with https:// or http:// and the site's host name")
  elseif(url MATCHES "[^!-~]")
    set(problem "it may hold only printable ASCII characters: no spaces, line breaks or other control characters")
  elseif(url MATCHES "[\"'\\\\]")
    set(problem "it may not hold quotes or backslashes")
  endif()
  if(problem)
    message(FATAL_ERROR "PUBLISHER_SITE_URL is not a usable web address: ${problem}.\n"
                        "Given: [${url}]\n"
                        "Set it when configuring, e.g. -DPUBLISHER_SITE_URL=${MARIGOLD_DEFAULT_SITE_URL}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT DEFINED URL)
    set(URL "${MARIGOLD_DEFAULT_SITE_URL}")
  endif()
  marigold_check_site_url("${URL}")
endif()
