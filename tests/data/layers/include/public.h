// The public header of the layer check fixture.
