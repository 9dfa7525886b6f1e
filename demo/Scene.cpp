#include "demo/Scene.h"

#include "app/GraphicsDevice.h"
#include "crt.h"

int Scene::init(GraphicsDevice* device_) {
    device = device_;
    return 0;
}

void Scene::setStartStates(D3DCULL cullMode) {
    IDirect3DDevice9* d = device->getDevice();
    setAddress(D3DTADDRESS_BORDER);
    d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF000000);
    d->SetRenderState(D3DRS_ZENABLE, TRUE);
    d->SetRenderState(D3DRS_CULLMODE, cullMode);
    d->SetRenderState(D3DRS_LIGHTING, TRUE);
    d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    crt::srand(0);
}

void Scene::setFilter(D3DTEXTUREFILTERTYPE filter) {
    IDirect3DDevice9* d = device->getDevice();
    d->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
}

void Scene::setAddress(D3DTEXTUREADDRESS address) {
    IDirect3DDevice9* d = device->getDevice();
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, address);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, address);
}
