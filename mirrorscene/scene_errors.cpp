// The engine's four error codes and their messages.
#include "mirror_scene.h"

int32_t scene_error = SCENE_ERROR_NONE;
int32_t particle_error = PARTICLE_ERROR_NONE;
int32_t asc_error = ASC_ERROR_NONE;
int32_t pcx24_error = PCX24_ERROR_NONE;

const char* scene_error_text() {
  switch (scene_error) {
  case SCENE_ERROR_NONE:
    return "[SCENE]: No error.";
  case SCENE_ERROR_NO_CAMERA:
    return "[SCENE]: Warning, you should atleast have one camera.";
  case SCENE_ERROR_OBJECTS:
    return "[SCENE]: (OBJECT **) Not enough free memory.";
  case SCENE_ERROR_CAMERAS:
    return "[SCENE]: (CAMERA **) Not enough free memory.";
  case SCENE_ERROR_IMAGEMAPS:
    return "[SCENE]: (IMAGEMAP **) Not enough free memory.";
  case SCENE_ERROR_MOTHERS:
    return "[SCENE]: (MOTHER **) Not enough free memory.";
  case SCENE_ERROR_MIRRORS:
    return "[SCENE]: (MIRROR **) Not enough free memory.";
  case SCENE_ERROR_TVS:
    return "[SCENE]: (TV **) Not enough free memory.";
  case SCENE_ERROR_FLARES:
    return "[SCENE]: (LENSFLARE **) Not enough free memory.";
  case SCENE_ERROR_OMNIS:
    return "[SCENE]: (OMNILIGHT **) Not enough free memory.";
  case SCENE_ERROR_SPOTS:
    return "[SCENE]: (SPOTLIGHT **) Not enough free memory.";
  case SCENE_ERROR_CAMERA:
    return "[SCENE]: (CAMERA *) Not enough free memory.";
  case SCENE_ERROR_MIRROR:
    return "[SCENE]: (MIRROR *) Not enough free memory.";
  case SCENE_ERROR_TV:
    return "[SCENE]: (TV *) Not enough free memory.";
  case SCENE_ERROR_FLARE:
    return "[SCENE]: (LENSFLARE *) Not enough free memory.";
  case SCENE_ERROR_OMNI:
    return "[SCENE]: (OMNILIGHT *) Not enough free memory.";
  case SCENE_ERROR_SPOT:
    return "[SCENE]: (SPOTLIGHT *) Not enough free memory.";
  case SCENE_ERROR_UNKNOWN:
    return "[SCENE]: Unknown error.";
  default:
    return "[SCENE]: Other (undeterminant) error.";
  }
}

const char* particle_error_text() {
  switch (particle_error) {
  case PARTICLE_ERROR_NONE:
    return "[PARTICLE]: No error.";
  case PARTICLE_ERROR_OPEN:
    return "[PARTICLE]: Unable to open file.";
  case PARTICLE_ERROR_MEMORY:
    return "[PARTICLE]: Not enough free memory.";
  case PARTICLE_ERROR_SHADES:
    return "[PARTICLE]: Invalid number of shades.";
  case PARTICLE_ERROR_UNKNOWN:
    return "[PARTICLE]: Unknown error.";
  default:
    return "[PARTICLE]: Other (undeterminant) error.";
  }
}

const char* asc_error_text() {
  switch (asc_error) {
  case ASC_ERROR_NONE:
    return "[ASC Loader]: No error.";
  case ASC_ERROR_OPEN:
    return "[ASC Loader]: Unable to open file.";
  case ASC_ERROR_MEMORY:
    return "[ASC Loader]: Not enough free memory.";
  default:
    return "[ASC Loader]: Other (undeterminant) error.";
  }
}

const char* pcx24_error_text() {
  switch (pcx24_error) {
  case PCX24_ERROR_NONE:
    return "[PCX]: No error.";
  case PCX24_ERROR_OPEN:
    return "[PCX]: Unable to open file.";
  case PCX24_ERROR_MEMORY:
    return "[PCX]: Not enough free memory.";
  case PCX24_ERROR_DATA:
    return "[PCX]: Bad data or currupt file.";
  case PCX24_ERROR_VERSION:
    return "[PCX]: Unsupported version of fileformat.";
  case PCX24_ERROR_NAME:
    return "[PCX]: Not a valid PCX-file.";
  default:
    return "[PCX]: Other (undeterminant) error.";
  }
}
