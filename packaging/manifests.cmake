# Writes what a Windows user checks and what the package managers read, for the two packages just made:
# SHA256SUMS beside them, the winget manifests (version, installer, default locale) and the Scoop
# manifest, each naming the packages' version and SHA-256.
#   cmake -DSETUP=<setup.exe> -DZIP=<portable.zip> -DOUT=<folder of the packages> -DVERSION=<x.y.z>
#         -DDOWNLOAD_URL=<where the packages are published> -DHOMEPAGE=<url> -DLICENSE=<name>
#         -DPRODUCT_CODE=<name of the Uninstall key> -DTEMPLATES=<packaging folder> -P manifests.cmake
foreach(required SETUP ZIP OUT VERSION DOWNLOAD_URL HOMEPAGE LICENSE PRODUCT_CODE TEMPLATES)
    if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
        message(FATAL_ERROR "manifests.cmake: ${required} must be given with -D")
    endif()
endforeach()

set(PRODUCT Orvanter)
set(PUBLISHER Keldrastic)
set(PACKAGE_ID ${PUBLISHER}.${PRODUCT})
# The current winget manifest schema.
set(WINGET_SCHEMA 1.12.0)

get_filename_component(SETUP_NAME ${SETUP} NAME)
get_filename_component(ZIP_NAME ${ZIP} NAME)
file(SHA256 ${SETUP} setup_hash)
file(SHA256 ${ZIP} zip_hash)
# winget writes its hashes in capitals, Scoop and sha256sum in small letters.
string(TOUPPER ${setup_hash} SETUP_SHA256)
string(TOUPPER ${zip_hash} ZIP_SHA256)
set(ZIP_SHA256_LOWER ${zip_hash})

# The format of sha256sum: a check with `sha256sum -c SHA256SUMS` works beside the files.
file(WRITE ${OUT}/SHA256SUMS "${setup_hash}  ${SETUP_NAME}\n${zip_hash}  ${ZIP_NAME}\n")

file(REMOVE_RECURSE ${OUT}/winget ${OUT}/scoop)
foreach(kind "" .installer .locale.en-US)
    configure_file(${TEMPLATES}/winget/Keldrastic.Orvanter${kind}.yaml.in
                   ${OUT}/winget/${PACKAGE_ID}${kind}.yaml @ONLY NEWLINE_STYLE LF)
endforeach()
configure_file(${TEMPLATES}/scoop/orvanter.json.in ${OUT}/scoop/orvanter.json @ONLY NEWLINE_STYLE LF)
